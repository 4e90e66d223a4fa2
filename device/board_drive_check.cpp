#include "device/board_drive_check.h"

#include <optional>
#include <vector>

#include "device/drive_discovery.h"
#include "device/mounted_devices.h"
#include "device/registry_key.h"
#include "device/usb_storage_keys.h"

namespace z4 {
namespace {

// The parent id prefixes of every Z-4 storage instance (every serial number
// and unit) in the first control set that knows the Z-4.
std::vector<std::string> Z4ParentIdPrefixes(Registry& registry) {
  std::vector<std::string> prefixes;
  for (int n = 1; n <= kLastControlSet; ++n) {
    const std::string path = Z4UsbStorageKey(n);
    const RegistryKey z4 = RegistryKey::Open(registry, RegistryRoot::LocalMachine, path);
    if (!z4) continue;
    for (std::uint32_t index = 0;; ++index) {
      const std::optional<std::string> name = registry.SubkeyName(z4.handle(), index);
      if (!name) break;
      const RegistryKey instance =
          RegistryKey::Open(registry, RegistryRoot::LocalMachine, path + *name);
      if (!instance) continue;
      const auto size = registry.ValueSize(instance.handle(), kParentIdPrefixValue);
      if (!size) continue;
      if (const auto data = registry.ReadValue(instance.handle(), kParentIdPrefixValue, *size)) {
        prefixes.push_back(RegistryText(*data));
      }
    }
    break;
  }
  return prefixes;
}

// Windows 2000 and XP: a removable medium recorded for the letter must be a
// medium of a Z-4.
bool RemovableMediumIsZ4(Registry& registry, const MountedData& data) {
  static const MountedData kAnyMedium = RemovableMediaPattern("");
  if (!StartsWithBytes(data, kAnyMedium)) return true;
  for (const std::string& prefix : Z4ParentIdPrefixes(registry)) {
    if (StartsWithBytes(data, RemovableMediaPattern(prefix))) return true;
  }
  return false;
}

// Windows Vista and later: a USB storage device recorded for the letter must
// be a Z-4.
bool UsbStorageIsZ4(const MountedData& data) {
  return !StartsWithText(data, kUsbStoragePath) || StartsWithText(data, kZ4UsbStoragePath);
}

// "\\?\Volume{GUID}\" as the system names a volume, to "\??\Volume{GUID}" as
// its mounted-device table does.
std::string VolumeValue(std::string volume) {
  if (volume.compare(0, 4, "\\\\?\\") == 0) volume.replace(0, 4, "\\??\\");
  if (!volume.empty() && volume.back() == '\\') volume.pop_back();
  return volume;
}

// The volume mounted at the letter now is the one the table names for it.
// Where the system gives no volume name (a removable drive without a medium),
// there is nothing to compare.
bool VolumeIsTheRecordedOne(Ports& ports, const std::string& root, const MountedData& data) {
  const std::optional<std::string> volume = ports.files.VolumeName(root);
  if (!volume) return true;
  const auto recorded = ReadMountedDevice(ports.registry, VolumeValue(*volume));
  return recorded && *recorded == data;
}

}  // namespace

bool IsBoardDrive(Ports& ports, char letter, bool from_registry) {
  const std::string root = std::string(1, letter) + ":\\";
  if (ports.files.DriveType(root) != DriveKind::Removable) return false;

  const OsFamily family = GetOsFamily(ports.system);
  if (family != OsFamily::Windows2000OrXP && family != OsFamily::WindowsNtAfterXp) return true;
  const std::optional<MountedData> data = ReadMountedDevice(ports.registry, DosDeviceValue(letter));
  if (!data) return true;
  // Version 5.2 may record a medium either way.
  if (!RemovableMediumIsZ4(ports.registry, *data)) return false;
  if (family != OsFamily::WindowsNtAfterXp) return true;
  if (!UsbStorageIsZ4(*data)) return false;
  return !from_registry || VolumeIsTheRecordedOne(ports, root, *data);
}

}  // namespace z4
