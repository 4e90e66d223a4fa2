#include "core/backup_folder.h"

#include "core/data_folder.h"
#include "core/ports.h"

namespace z4 {

std::string BackupFolderPath(System& system) {
  return GetDataFolder(system) + "\\BackupZ4";
}

void EmptyBackupFolder(Ports& ports) {
  const std::string folder = BackupFolderPath(ports.system) + "\\";
  const auto names = ports.files.FindFiles(folder + "*.*");
  if (!names) return;
  for (const auto& name : *names) {
    // The folder's own entries are skipped by name: the system does not promise
    // to list "." first, and a file listed first must be deleted like any other.
    if (name == "." || name == "..") continue;
    ports.files.Delete(folder + name);  // a subfolder or a locked file stays
  }
}

}  // namespace z4
