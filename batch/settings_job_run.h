// One settings job run as the main window runs it, without the main window:
// the job is started, the first tick of the window's job timer would open the
// status window, and the status window delivers the files and waits for the
// board's end marker within the job's time limit.
#pragma once

#include "core/ports.h"
#include "core/text_table.h"
#include "platform/dialog_view.h"

namespace z4 {

enum class SettingsJobResult {
  Finished,    // the board wrote its end marker
  TimedOut,    // the status window's time limit passed first
  NotStarted,  // the job file could not be written
  Failed,      // the status window stopped on a failure (not enough memory)
};

// A settings read job ("SetDataOut:") or write job ("SetDataIn:"); the board
// must have been found. The status window has no owner.
SettingsJobResult RunSettingsJob(Ports& ports, DialogHost& host, const TextTable& texts,
                                 bool write);

}  // namespace z4
