#include "core/data_folder.h"

#include "core/program_folder.h"
#include "core/shared_state.h"

namespace z4 {

void ChooseDataFolder(Ports& ports) {
  const std::string program = GetProgramFolder(ports.system);
  const std::string probe = program + "\\Z4Utility.probe";
  std::string folder = program;
  if (ports.files.WriteNewFile(probe, "")) {
    ports.files.Delete(probe);
  } else if (const auto local = ports.system.LocalAppDataFolder()) {
    folder = *local + "\\Z4Utility";
    // Made on the first start; afterwards it is there already.
    ports.files.MakeDirectory(folder);
  }
  SharedState::SetDataFolder(folder);
}

std::string GetDataFolder(System& system) {
  const std::string chosen = SharedState::GetDataFolder();
  return chosen.empty() ? GetProgramFolder(system) : chosen;
}

}  // namespace z4
