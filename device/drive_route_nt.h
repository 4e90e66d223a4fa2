// Windows 2000 and XP, and Server 2003: the board's drive letter from its USB
// storage instance's parent id prefix and the mounted-device table.
#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"

namespace z4 {

// The letter whose mounted-device value is the removable medium of the
// board's storage instance (under the first control set that has it); the
// same drive in both modes. nullopt when none is.
std::optional<std::string> FindLetterNt(Registry& registry);

}  // namespace z4
