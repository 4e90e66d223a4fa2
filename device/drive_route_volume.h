// Windows versions after XP: the board's drive letter from the mounted-device
// value that names its USB storage unit.
#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"

namespace z4 {

// The letter whose value names the board's unit 0 (unit 1 with
// `second_unit`); nullopt when none does.
std::optional<std::string> FindLetterByVolume(Registry& registry, bool second_unit);

}  // namespace z4
