// A file named on the command line, made independent of the current folder.
#pragma once

#include <optional>
#include <string>

namespace z4 {

// `file` when it names its drive ("C:\a.ini", "C:a.ini") or a network share
// ("\\server\share\a.ini"); the current folder's drive before a path from the
// root ("\batch\a.ini"); otherwise the current folder + "\" + `file`. Without
// a current folder, `file` as it is.
std::string FullPath(const std::optional<std::string>& current_folder, const std::string& file);

}  // namespace z4
