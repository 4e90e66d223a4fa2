// Filling the board's capture folder "QXR" before it starts, with copies of
// the files of a folder on the PC (older captures, decoys with odd names).
#pragma once

#include <filesystem>
#include <string>

#include "sim/board_storage.h"

namespace z4::sim {

// Copies every file of `source` (not its subfolders) into the capture folder,
// creating the folder when needed. Empty on success, else what went wrong.
std::string SeedCaptureFolder(BoardStorage& storage, const std::filesystem::path& source);

}  // namespace z4::sim
