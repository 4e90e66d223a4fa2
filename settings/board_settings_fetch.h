// The board's settings file, fetched after a finished read job.
#pragma once

#include <string>

#include "core/ports.h"

namespace z4 {

enum class FetchStatus {
  Fetched,
  NoFile,    // the file could not be fetched or read
  TooLarge,  // more than a settings file can hold
};

struct FetchedSettings {
  FetchStatus status = FetchStatus::Fetched;
  std::string bytes;  // the whole file, when Fetched
};

FetchedSettings FetchBoardSettings(Ports& ports);

// Why a fetch gave no file, for the records people read: "the board's settings
// file could not be read" or "... is larger than 64 KiB"; empty when it did.
std::string FetchProblemText(FetchStatus status);

}  // namespace z4
