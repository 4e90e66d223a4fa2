// /export: the board writes out its settings file, as when the main window
// opens, and the file goes byte for byte into the file the user named.
#pragma once

#include <string>

#include "batch/batch_outcome.h"
#include "core/ports.h"
#include "core/text_table.h"
#include "platform/dialog_view.h"

namespace z4 {

// The board must have been found. A report of Done carries the board's file
// in `exported`: the caller replaces the user's file with it as the run's
// very last step, once nothing else can fail.
BatchReport ExportSettings(Ports& ports, DialogHost& host, const TextTable& texts);

}  // namespace z4
