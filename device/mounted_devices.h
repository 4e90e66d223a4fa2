// The system's table of mounted devices (HKLM\SYSTEM\MountedDevices): one
// binary value per drive letter ("\DosDevices\E:") and per volume
// ("\??\Volume{GUID}"), holding the device path of what is mounted there as
// UTF-16LE text without a terminating zero.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/registry_key.h"
#include "platform/registry.h"

namespace z4 {

using MountedData = std::vector<std::uint8_t>;

inline constexpr char kMountedDevicesKey[] = "SYSTEM\\MountedDevices\\";

// Windows 2000 and XP record a removable medium by this path, in UTF-16LE,
// followed by its storage instance's parent id prefix.
inline constexpr char kRemovableMediaPath[] = "\\??\\STORAGE#RemovableMedia#";
// Windows Vista and later record a USB disk's volume by the device path of its
// storage unit: this text, the vendor, product, revision, serial number and
// unit, "#" and the interface class.
inline constexpr char kUsbStoragePath[] = "_??_USBSTOR#";
// The board's storage units on that path, up to the unit number ("0" or "1").
inline constexpr char kBoardUsbStoragePath[] =
    "_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&Rev_1.00#000000000000&";
// What every Z-4 has in that path, whatever its revision and serial number.
inline constexpr char kZ4UsbStoragePath[] = "_??_USBSTOR#Disk&Ven_KORA&Prod_Z-4&";

// The value name of a drive letter: "\DosDevices\E:".
std::string DosDeviceValue(char letter);

// The data of one value of the open table, read into a buffer of 1000 bytes;
// a failed read is tried again, up to five reads in all. nullopt when the
// value cannot be read.
std::optional<MountedData> ReadMountedValue(Registry& registry, RegistryHandle table,
                                            const std::string& value);
// The same with the table opened for the one read; nullopt also when the table
// cannot be opened.
std::optional<MountedData> ReadMountedDevice(Registry& registry, const std::string& value);

// The data of a removable medium of the storage instance with this parent id
// prefix (plain ASCII, each byte widened to a 16-bit character).
MountedData RemovableMediaPattern(const std::string& parent_id_prefix);

// Whether `data` starts with `pattern` byte for byte.
bool StartsWithBytes(const MountedData& data, const MountedData& pattern);

// Whether UTF-16LE `data` starts with the ASCII `text`, ignoring the case of
// its letters.
bool StartsWithText(const MountedData& data, const std::string& text);

// The last letter from A to Z whose mounted-device value `matches`, so when
// several match, the last one in alphabetical order wins. The table key is
// opened afresh for every letter; a value that cannot be read is tried again,
// up to five reads in all.
template <typename Match>
std::optional<std::string> LastMatchingLetter(Registry& registry, Match matches) {
  std::optional<std::string> found;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const RegistryKey table =
        RegistryKey::Open(registry, RegistryRoot::LocalMachine, kMountedDevicesKey);
    if (!table) return found;
    const auto data = ReadMountedValue(registry, table.handle(), DosDeviceValue(letter));
    if (data && matches(*data)) found = std::string(1, letter);
  }
  return found;
}

}  // namespace z4
