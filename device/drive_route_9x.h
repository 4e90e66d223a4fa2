// Windows 98 and Me: the board's drive letter from the list of present
// devices in HKEY_DYN_DATA and the SCSI keys of its two logical units.
#pragma once

#include <optional>
#include <string>

#include "device/drive_discovery.h"
#include "device/registry_key.h"
#include "platform/registry.h"

namespace z4 {

// The board is present when the system's list of present devices holds its
// LUN 0 entry and, later in the list, its LUN 1 entry (`variant` is
// OsFamily::Windows98 or OsFamily::WindowsMe; any other value finds nothing).
bool IsDevicePresent9x(Registry& registry, OsFamily variant);

// The letter of the board's unit 0 (unit 1 with `second_unit`) when the board
// is present and a key names one (which may be empty); nullopt otherwise.
std::optional<std::string> FindLetter9x(Registry& registry, OsFamily variant, bool second_unit);

// True only when the value can be read (into a 256-byte buffer) and its text,
// up to the terminating zero, equals `expected` byte for byte.
bool RegistryValueEquals(Registry& registry, const RegistryKey& key, const std::string& name,
                         const std::string& expected);

}  // namespace z4
