#include "batch/batch_outcome.h"

namespace z4 {

int ExitCodeOf(BatchOutcome outcome) {
  switch (outcome) {
    case BatchOutcome::Done:
      return kExitDone;
    case BatchOutcome::Refused:
    case BatchOutcome::OwnFile:
      return kExitRefused;
    case BatchOutcome::NoBoard:
      return kExitNoBoard;
    case BatchOutcome::NoAnswer:
    case BatchOutcome::NoSettingsFile:
    case BatchOutcome::BoardFileTooLarge:
      return kExitNoAnswer;
    case BatchOutcome::FileUnreadable:
    case BatchOutcome::FileInvalid:
      return kExitInvalidFile;
    case BatchOutcome::ReadBackDiffers:
    case BatchOutcome::NotReadBack:
      return kExitReadBackDiffers;
    case BatchOutcome::FileNotWritten:
    case BatchOutcome::LocalFilesNotWritten:
      return kExitNotWritten;
    case BatchOutcome::Busy:
      return kExitBusy;
    case BatchOutcome::Stopped:
      return kExitFailed;
  }
  return kExitRefused;
}

}  // namespace z4
