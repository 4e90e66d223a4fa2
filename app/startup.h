// Start-up: texts loaded, the main window run modally; the program ends when it closes.
#pragma once

#include "app/ports.h"
#include "platform/dialog_view.h"

namespace z4 {

void RunUtility(Ports& ports, DialogHost& host);

}  // namespace z4
