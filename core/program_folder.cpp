#include "core/program_folder.h"

#include "platform/system.h"

namespace z4 {

std::string GetProgramFolder(System& system) {
  // The whole path is used, however long it is; callers append "\" and a name.
  const std::string path = system.ProgramPath();
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace z4
