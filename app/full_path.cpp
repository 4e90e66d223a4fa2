#include "app/full_path.h"

namespace z4 {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

std::string FullPath(const std::optional<std::string>& current_folder, const std::string& file) {
  if (!current_folder || current_folder->empty() || file.empty()) return file;
  if (file.size() >= 2 && file[1] == ':') return file;
  if (file.size() >= 2 && IsSeparator(file[0]) && IsSeparator(file[1])) return file;
  const std::string& folder = *current_folder;
  if (IsSeparator(file[0])) {
    return folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 2) + file : file;
  }
  return folder + (IsSeparator(folder.back()) ? "" : "\\") + file;
}

}  // namespace z4
