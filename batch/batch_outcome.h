// How a run of /export or /apply ended, and the exit code each outcome gives.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/own_files.h"
#include "settings/settings_file_check.h"
#include "settings/settings_read_back.h"

namespace z4 {

// Exit codes of the program. A batch file reads them with "if errorlevel N",
// which holds for N and every code above it.
enum ExitCode : int {
  kExitDone = 0,
  kExitRefused = 1,          // the command line was refused; nothing was done
  kExitNoBoard = 2,          // no board found, or its drive did not answer
  kExitNoAnswer = 3,         // the board did not finish a job, or its settings file is unusable
  kExitInvalidFile = 4,      // /apply: the file cannot be read or holds unusable values
  kExitReadBackDiffers = 5,  // /apply: the board was written; it holds other values, or
                             // they could not be read back
  kExitNotWritten = 6,       // a file on this computer could not be written
  kExitBusy = 7,             // another /export or /apply runs from the same folder
  kExitFailed = 8,           // the program stopped: not enough memory for a step
};

enum class BatchOutcome {
  Done,
  Refused,
  OwnFile,  // /export was given one of the program's own files
  NoBoard,
  NoAnswer,           // a settings job did not finish in time
  NoSettingsFile,     // the read job finished, but no settings file could be fetched
  BoardFileTooLarge,  // the board's settings file is larger than a settings file can be
  FileUnreadable,     // the file given to /apply
  FileInvalid,        // the file given to /apply
  ReadBackDiffers,
  NotReadBack,           // /apply: the board took the file, but its settings could not be read back
  FileNotWritten,        // the file given to /export
  LocalFilesNotWritten,  // the program's own files (lock, backup folder)
  Busy,
  Stopped,  // a step did not get enough memory; the run was given up
};

int ExitCodeOf(BatchOutcome outcome);

struct BatchReport {
  BatchOutcome outcome = BatchOutcome::Done;
  std::vector<SettingsProblem> problems;     // FileInvalid
  std::vector<ValueDifference> differences;  // ReadBackDiffers
  // The file or folder that could not be read or written, or the argument
  // that made the command line refused.
  std::string subject;
  // /apply, once the board was written: the values that changed
  // ("Density 80→85").
  bool written = false;
  std::string changes;
  // /apply, once the history was asked to keep the board's file: the before
  // file (empty when it could not be kept), and whether the after file of a
  // read-back could not be kept.
  bool history_tried = false;
  std::string history;
  bool after_missing = false;
  // OwnFile: which of the program's files FILE is.
  OwnFile own = OwnFile::None;
  // /export, once everything else succeeded: the bytes FILE gets last.
  std::string exported;
  // The run's line could not be added to the log (its path).
  std::string unlogged;
};

// A report of one outcome, naming what it concerns.
inline BatchReport ReportOf(BatchOutcome outcome, std::string subject = {}) {
  BatchReport report;
  report.outcome = outcome;
  report.subject = std::move(subject);
  return report;
}

}  // namespace z4
