// /apply: seven checked values written to the board as Set writes them, then
// read back from the board and compared.
#pragma once

#include "batch/batch_outcome.h"
#include "core/ports.h"
#include "core/settings_record.h"
#include "core/text_table.h"
#include "platform/dialog_view.h"

namespace z4 {

// The board must have been found and the values checked. The board first
// writes out its own settings file, so that the rewrite keeps every line of it
// besides the seven; the rewritten file goes to the board with the write job;
// a read job then fetches what the board holds.
BatchReport ApplySettings(Ports& ports, DialogHost& host, const TextTable& texts,
                          const SettingsRecord& values);

}  // namespace z4
