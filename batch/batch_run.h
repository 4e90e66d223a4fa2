// /export and /apply: the board's settings copied to a file or from a file
// without the main window. Each run ends with an exit code, adds one line to
// the record beside the program and, unless /quiet is given, tells the user of
// a failure in a message box.
#pragma once

#include "batch/batch_request.h"
#include "core/ports.h"
#include "core/text_table.h"
#include "platform/dialog_view.h"

namespace z4 {

// Runs the valid options' /export or /apply; returns the exit code. A data
// folder that cannot be written ends the run at once, with exit code 6.
int RunBatch(Ports& ports, DialogHost& host, const TextTable& texts, const BatchRequest& request,
             bool data_folder_writable = true);

// The record of a refused command line that names /export or /apply (nothing
// is recorded for other refused lines).
void RecordRefusedRun(Ports& ports, const BatchRequest& request, const std::string& rejected);

}  // namespace z4
