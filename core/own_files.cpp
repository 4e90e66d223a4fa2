#include "core/own_files.h"

#include <algorithm>

#include "core/backup_folder.h"
#include "core/data_folder.h"

namespace z4 {
namespace {

std::string Folded(std::string path) {
  // ASCII letters only: the names Windows folds otherwise are the same either way here.
  std::transform(path.begin(), path.end(), path.begin(), [](char c) {
    return c == '/' ? '\\' : (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  });
  return path;
}

bool Inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '\\';
}

}  // namespace

OwnFile OwnFileOf(System& system, const std::string& full_path) {
  const std::string path = Folded(full_path);
  const std::string data = Folded(GetDataFolder(system));
  if (path == data + "\\z4utility.log") return OwnFile::Log;
  if (path == data + "\\backupz4.lock") return OwnFile::Lock;
  const std::string backup = Folded(BackupFolderPath(system));
  if (path == backup || Inside(path, backup)) return OwnFile::WorkingFolder;
  const std::string history = data + "\\history";
  if (path == history || Inside(path, history)) return OwnFile::History;
  return OwnFile::None;
}

std::string OwnFileText(OwnFile file) {
  switch (file) {
    case OwnFile::Log:
      return "the program's log";
    case OwnFile::Lock:
      return "the lock that keeps two copies apart";
    case OwnFile::WorkingFolder:
      return "in the working folder BackupZ4";
    case OwnFile::History:
      return "in the history of board writes";
    case OwnFile::None:
      break;
  }
  return {};
}

}  // namespace z4
