// /export: the board writes out its settings file, as when the main window
// opens, and the file goes byte for byte into the file the user named.
#pragma once

#include <string>

#include "app/batch_outcome.h"
#include "core/ports.h"
#include "core/text_table.h"
#include "platform/dialog_view.h"

namespace z4 {

// The board must have been found. `file` is replaced as a whole or, when
// anything fails, left as it was.
BatchReport ExportSettings(Ports& ports, DialogHost& host, const TextTable& texts,
                           const std::string& file);

}  // namespace z4
