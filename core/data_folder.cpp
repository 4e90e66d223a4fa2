#include "core/data_folder.h"

#include "core/program_folder.h"
#include "core/shared_state.h"

namespace z4 {
namespace {

// What the system says of making and deleting a file in the folder. A probe
// of another copy starting at the same moment, or one a virus scanner holds,
// says nothing: the next name is tried.
FileError Probe(FileSystem& files, const std::string& folder) {
  FileError error = FileError::Other;
  for (int n = 0; n < 8; ++n) {
    const std::string name =
        n == 0 ? "Z4Utility.probe" : "Z4Utility-" + std::to_string(n) + ".probe";
    error = files.TryCreateAndDelete(folder + "\\" + name);
    if (error != FileError::Exists && error != FileError::InUse) break;
  }
  return error;
}

}  // namespace

bool ChooseDataFolder(Ports& ports) {
  const std::string program = GetProgramFolder(ports.system);
  SharedState::SetDataFolder(program);
  if (Probe(ports.files, program) != FileError::Denied) return true;
  const auto local = ports.system.LocalAppDataFolder();
  if (!local) return false;
  const std::string folder = *local + "\\Z4Utility";
  SharedState::SetDataFolder(folder);
  // Made on the first start; afterwards it is there already.
  ports.files.MakeDirectory(folder);
  const FileError error = Probe(ports.files, folder);
  return error != FileError::Denied && error != FileError::Gone;
}

std::string GetDataFolder(System& system) {
  const std::string chosen = SharedState::GetDataFolder();
  return chosen.empty() ? GetProgramFolder(system) : chosen;
}

}  // namespace z4
