// The board's state file: the settings it keeps between runs. One Key=Value
// line per setting, with the keys and value letters of the settings file:
//
//   ; Z-4 board state
//   Density=75
//   CCFLOffTim=030
//   ...
//
// Numbers may be written without the zero padding. Blank lines and lines
// starting with ";" are ignored; a key that is missing keeps its default.
// The board's extra settings-file lines are "Extra=Key:value" lines; without
// any, the board has the default ones, and they are written only when they
// differ from those.
#pragma once

#include <string>
#include <string_view>

#include "sim/settings.h"

namespace z4::sim {

std::string StateFileText(const Settings& settings);

struct StateFileRead {
  Settings settings;  // defaults with every valid line applied
  std::string error;  // the first line that could not be taken, with the reason; empty if none
};

StateFileRead ReadStateFile(std::string_view text);

}  // namespace z4::sim
