// The command's arguments as UTF-8, whatever the system's code page.
#pragma once

#include <string>
#include <vector>

namespace z4::sim {

// The arguments after the program name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace z4::sim
