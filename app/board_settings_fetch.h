// The board's settings file, fetched after a finished read job.
#pragma once

#include <string>

#include "app/batch_outcome.h"
#include "core/ports.h"

namespace z4 {

struct FetchedSettings {
  // Done, NoSettingsFile (the file could not be fetched or read) or
  // BoardFileTooLarge (more than a settings file can hold).
  BatchOutcome outcome = BatchOutcome::Done;
  std::string bytes;  // the whole file, when Done
};

FetchedSettings FetchBoardSettings(Ports& ports);

}  // namespace z4
