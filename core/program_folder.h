// The folder of the running program, without a trailing backslash.
#pragma once

#include <string>

namespace z4 {

class System;

std::string GetProgramFolder(System& system);

}  // namespace z4
