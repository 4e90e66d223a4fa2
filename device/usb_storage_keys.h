// Where Windows 2000 and XP keep the board's USB storage instances: under
// "SYSTEM\ControlSetNNN\Enum\USBSTOR\Disk&Ven_KORA&Prod_Z-4&Rev_1.00\", one
// subkey per serial number and logical unit, each with the parent id prefix
// that its media carry in the mounted-device table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace z4 {

inline constexpr char kControlSetPrefix[] = "SYSTEM\\ControlSet";
inline constexpr char kZ4UsbStorageKey[] = "\\Enum\\USBSTOR\\Disk&Ven_KORA&Prod_Z-4&Rev_1.00\\";
// The board with serial number 000000000000, logical unit 0.
inline constexpr char kBoardInstance[] = "000000000000&0\\";
inline constexpr char kParentIdPrefixValue[] = "ParentIdPrefix";
inline constexpr int kLastControlSet = 99;

// "001" to "099": the number with "00" in front, cut to its last three characters.
inline std::string ControlSetNumber(int n) {
  const std::string text = "00" + std::to_string(n);
  return text.substr(text.size() - 3);
}

// The Z-4 key of control set n.
inline std::string Z4UsbStorageKey(int n) {
  return kControlSetPrefix + ControlSetNumber(n) + kZ4UsbStorageKey;
}

// Text of a registry value up to its terminating zero (all of it when there is none).
inline std::string RegistryText(const std::vector<std::uint8_t>& data) {
  std::size_t length = 0;
  while (length < data.size() && data[length] != 0) ++length;
  return std::string(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace z4
