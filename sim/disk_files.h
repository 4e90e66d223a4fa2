// The few file operations the board needs on a real disk, with the locking a
// program beside it sees: on Windows a file being written or held is opened
// with no sharing, so that others cannot open it meanwhile; on POSIX systems
// files are plain files and nothing is locked.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "sim/board_storage.h"

namespace z4::sim::disk {

// The whole file; nullopt when it is absent or cannot be opened for reading
// (on Windows: someone writing it or holding it with no sharing).
std::optional<std::string> ReadWhole(const std::filesystem::path& path);

// Creates or truncates `path` and writes the bytes, keeping it open to nobody
// else until they are all written.
bool WriteExclusive(const std::filesystem::path& path, const std::string& bytes);

// Renames `from` over `to`, replacing it.
bool RenameOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Opens an existing file and keeps it open, with no sharing, until the object goes.
std::unique_ptr<HeldFile> HoldExclusive(const std::filesystem::path& path);

// Writes the bytes under a temporary name beside `path`, then renames it over
// `path`; on failure the temporary file is removed.
bool ReplaceFile(const std::filesystem::path& path, const std::string& bytes);

// Adds bytes to the end of a file, creating it when absent.
bool AppendToFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace z4::sim::disk
