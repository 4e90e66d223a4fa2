// The board's side of "Z4.INI": the file it writes for "SetDataOut:" and the
// reader it uses for "SetDataIn:". The reader is deliberately strict about the
// forms the board itself writes, so that a settings file the utility produces
// in any other shape shows up as rejected lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/settings.h"

namespace z4::sim {

// "Z4.INI" for the given settings: a comment line, the seven keys and the
// board's extra lines (before FileDate), every line ending in CR LF.
std::string SettingsFileText(const Settings& settings);

struct SettingsFileRead {
  Settings settings;                  // the starting values with the valid keys applied
  std::vector<Key> applied;           // in the order they were found
  std::vector<std::string> rejected;  // lines of known keys that were not taken
  std::vector<std::string> unknown;   // lines with other keys, ignored
};

// Reads a settings file on top of `current`.
//  - A line ends in CR LF; a line with any other end (a bare LF, or none at the
//    end of the file) is rejected as a whole.
//  - ";" starts a comment; spaces and tabs around the rest are ignored.
//  - A settings line is Key:Value with the key spelled exactly and the value in
//    the board's own form (Density two digits, the lamp times three digits,
//    single capital letters, the full date); anything else is rejected.
//  - The first valid line of a key wins; later lines of that key are ignored.
//  - A line "Key:value" ending in CR LF whose key is one of the board's extra
//    lines replaces that extra line; it is still listed among `unknown`.
SettingsFileRead ReadSettingsFile(std::string_view text, const Settings& current);

}  // namespace z4::sim
