// What the window says when it cannot start its work: the data folder cannot
// be written, another copy of the program works with it, or the lock that
// keeps copies apart cannot be opened. The program ends after each.
#pragma once

#include <string>

namespace z4 {

std::string DataFolderMessage(const std::string& folder, int language_flag);
std::string AnotherCopyMessage(const std::string& folder, int language_flag);
std::string LockFileMessage(const std::string& lock_file, int language_flag);

}  // namespace z4
