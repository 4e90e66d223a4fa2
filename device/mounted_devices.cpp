#include "device/mounted_devices.h"

#include <cstring>

#include "device/registry_key.h"

namespace z4 {
namespace {

constexpr std::size_t kMountedDataBufferBytes = 1000;
constexpr int kMountedDataReadAttempts = 5;

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string DosDeviceValue(char letter) {
  return std::string("\\DosDevices\\") + letter + ":";
}

std::optional<MountedData> ReadMountedValue(Registry& registry, RegistryHandle table,
                                            const std::string& value) {
  std::optional<MountedData> data;
  for (int attempt = 0; attempt < kMountedDataReadAttempts && !data; ++attempt) {
    data = registry.ReadValue(table, value, kMountedDataBufferBytes);
  }
  return data;
}

std::optional<MountedData> ReadMountedDevice(Registry& registry, const std::string& value) {
  const RegistryKey table =
      RegistryKey::Open(registry, RegistryRoot::LocalMachine, kMountedDevicesKey);
  if (!table) return std::nullopt;
  return ReadMountedValue(registry, table.handle(), value);
}

MountedData RemovableMediaPattern(const std::string& parent_id_prefix) {
  MountedData pattern;
  for (const char* p = kRemovableMediaPath; *p != '\0'; ++p) {
    pattern.push_back(static_cast<std::uint8_t>(*p));
    pattern.push_back(0);
  }
  for (char c : parent_id_prefix) {
    pattern.push_back(static_cast<std::uint8_t>(c));
    pattern.push_back(0);
  }
  return pattern;
}

bool StartsWithBytes(const MountedData& data, const MountedData& pattern) {
  return data.size() >= pattern.size() &&
         std::memcmp(data.data(), pattern.data(), pattern.size()) == 0;
}

bool StartsWithText(const MountedData& data, const std::string& text) {
  if (data.size() < 2 * text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t low = data[2 * i];
    if (data[2 * i + 1] != 0 || low > 0x7F ||
        AsciiLower(static_cast<char>(low)) != AsciiLower(text[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace z4
