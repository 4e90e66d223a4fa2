// A printer for the tests: Wine's PostScript driver on port LPT1:, which the
// runner sends to a file (HKCU\Software\Wine\Printing\Spooler, value LPT1:).
#pragma once

#include <string>

namespace z4::e2e {

// Installs the printer and makes it the default; true when it can be used.
bool InstallPostScriptPrinter(std::string* why);

}  // namespace z4::e2e
