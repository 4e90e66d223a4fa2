#include "device/drive_route_nt.h"

#include <cstdint>
#include <vector>

#include "device/mounted_devices.h"
#include "device/registry_key.h"
#include "device/usb_storage_keys.h"

namespace z4 {

std::optional<std::string> FindLetterNt(Registry& registry) {
  // The first control set that holds the board's instance is used; the
  // current control set is not looked up.
  RegistryKey instance;
  for (int n = 1; n <= kLastControlSet && !instance; ++n) {
    instance = RegistryKey::Open(registry, RegistryRoot::LocalMachine,
                                 Z4UsbStorageKey(n) + kBoardInstance);
  }
  if (!instance) return std::nullopt;

  std::optional<std::vector<std::uint8_t>> prefix_data;
  if (const auto size = registry.ValueSize(instance.handle(), kParentIdPrefixValue)) {
    prefix_data = registry.ReadValue(instance.handle(), kParentIdPrefixValue, *size);
  }
  instance.Close();
  if (!prefix_data) return std::nullopt;
  const std::vector<std::uint8_t> pattern = RemovableMediaPattern(RegistryText(*prefix_data));

  return LastMatchingLetter(
      registry, [&](const MountedData& data) { return StartsWithBytes(data, pattern); });
}

}  // namespace z4
