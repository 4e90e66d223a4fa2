// Start-up: texts loaded, then the main window run modally (the program ends
// when it closes), or /export or /apply run without it.
#pragma once

#include "core/ports.h"
#include "platform/dialog_view.h"

namespace z4 {

// Returns the program's exit code: 0, or the code of a refused command line or
// of a failed /export or /apply (app/batch_outcome.h).
int RunUtility(Ports& ports, DialogHost& host);

}  // namespace z4
