#include "device/drive_discovery.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/decimal.h"
#include "core/shared_state.h"
#include "device/board_drive_check.h"
#include "device/drive_error_dialogs.h"
#include "device/mounted_devices.h"
#include "device/usb_storage_keys.h"

namespace z4 {
namespace {

// --- How the board shows up in the registry. Every string is used exactly as
// written: the SCSI part is fixed width (vendor "KORA" padded to 8 characters,
// product "Z-4" padded to 16, then the revision character "1").

// One Windows 9x family's names for the board's two logical units: the
// hardware id in the list of present devices and the key under
// HKEY_LOCAL_MACHINE that carries the unit number and the drive letter.
struct UnitNames9x {
  const char* hardware_id[2];
  const char* scsi_key[2];
};

// Windows 98 names the board by its device-side token QXR4.
constexpr UnitNames9x kWindows98Names = {
    {"SCSI\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000000",
     "SCSI\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000001"},
    {"enum\\scsi\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&00000000000000\\",
     "enum\\scsi\\KORA____Z-4_____________1\\QXR4&DISK&0000USB&VID_4F2A&PID_0C07&"
     "00000000000001\\"},
};

// Windows Me names it through its own USB storage driver.
constexpr UnitNames9x kWindowsMeNames = {
    {"SCSI\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&000",
     "SCSI\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&100"},
    {"enum\\scsi\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&"
     "000000000000&000\\",
     "enum\\scsi\\KORA____Z-4_____________1\\USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&"
     "000000000000&100\\"},
};

constexpr char kPresentDevices9x[] = "Config Manager\\Enum\\";
constexpr char kHardwareIdValue[] = "HardWareKey";
constexpr char kUnitNumberValue[] = "SCSILUN";
constexpr char kDriveLetterValue[] = "CurrentDriveLetterAssignment";

// --- Buffer sizes and counts of the registry reads.
constexpr std::size_t kTextBufferBytes = 256;

const UnitNames9x* NamesFor(OsFamily variant) {
  if (variant == OsFamily::Windows98) return &kWindows98Names;
  if (variant == OsFamily::WindowsMe) return &kWindowsMeNames;
  return nullptr;
}

// Asks for the value's size first, then reads it into a buffer of `capacity` bytes.
std::optional<std::string> ReadText(Registry& registry, const RegistryKey& key,
                                    const std::string& name, std::size_t capacity) {
  if (!registry.ValueSize(key.handle(), name)) return std::nullopt;
  const auto data = registry.ReadValue(key.handle(), name, capacity);
  if (!data) return std::nullopt;
  return RegistryText(*data);
}

// Looks at the mounted-device value of every drive letter from A to Z and
// sets DeviceDrive to each letter whose data `matches`, so when several
// match, the last one in alphabetical order wins. The table key is opened
// afresh for every letter; a value that cannot be read is tried again, up to
// five reads in all.
template <typename Match>
void ScanMountedDevices(Registry& registry, Match matches) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const RegistryKey table =
        RegistryKey::Open(registry, RegistryRoot::LocalMachine, kMountedDevicesKey);
    if (!table) return;
    const auto data = ReadMountedValue(registry, table.handle(), DosDeviceValue(letter));
    if (data && matches(*data)) SharedState::SetDeviceDrive(std::string(1, letter));
  }
}

bool IsVersion(System& system, unsigned major, unsigned minor) {
  const std::optional<OsVersion> version = system.Version();
  return version && version->major == major && version->minor == minor;
}

bool TestAdjustMode() {
  return SharedState::GetTestAdjustMode() != 0;
}

// Forgets the letter found when it is not one letter from A to Z (a value
// such as "\\.\C" would name another disk's files), or when its drive is not
// the board's: nothing on it is then touched.
void KeepOnlyABoardDrive(Ports& ports, bool from_registry) {
  std::string drive = SharedState::GetDeviceDrive();
  if (drive.size() == 1 && drive[0] >= 'a' && drive[0] <= 'z') drive[0] -= 'a' - 'A';
  if (drive.size() != 1 || drive[0] < 'A' || drive[0] > 'Z' ||
      !IsBoardDrive(ports, drive[0], from_registry)) {
    drive.clear();
  }
  SharedState::SetDeviceDrive(drive);
}

}  // namespace

void FindDeviceDrive(Ports& ports) {
  SharedState::SetDeviceDrive("");
  SharedState::SetDeviceFound(0);

  // A letter named on the command line stands in for the registry, on any
  // Windows version; it is confirmed like a letter read from the registry.
  const std::string named = SharedState::GetDriveOption();
  if (!named.empty()) {
    SharedState::SetDeviceDrive(named);
    KeepOnlyABoardDrive(ports, false);
    ConfirmDeviceDrive(ports);
    return;
  }

  switch (const OsFamily family = GetOsFamily(ports.system)) {
    case OsFamily::Windows98:
    case OsFamily::WindowsMe:
      if (IsDevicePresent9x(ports.registry, family)) ReadDriveLetter9x(ports.registry, family);
      break;
    case OsFamily::Windows2000OrXP:
      FindDriveLetterNt(ports.registry);
      break;
    case OsFamily::WindowsNtAfterXp:
      FindDriveLetterByVolume(ports.registry);
      // Windows Server 2003 and XP x64 (5.2) may still record a USB disk's
      // volume the way XP does.
      if (SharedState::GetDeviceDrive().empty() && IsVersion(ports.system, 5, 2)) {
        FindDriveLetterNt(ports.registry);
      }
      break;
    case OsFamily::OtherWindows:
      break;
  }

  KeepOnlyABoardDrive(ports, true);
  ConfirmDeviceDrive(ports);
}

OsFamily GetOsFamily(System& system) {
  const std::optional<OsVersion> version = system.Version();
  if (!version) return OsFamily::OtherWindows;
  if (version->major == 4 && version->minor == 10) return OsFamily::Windows98;
  if (version->major == 4 && version->minor == 90) return OsFamily::WindowsMe;
  if (version->major == 5 && (version->minor == 0 || version->minor == 1)) {
    return OsFamily::Windows2000OrXP;
  }
  // Only the NT family has versions after 5.1. Windows 8.1 and later report
  // 6.2 to a program that does not declare them in its manifest.
  if ((version->major == 5 && version->minor >= 2) || version->major >= 6) {
    return OsFamily::WindowsNtAfterXp;
  }
  return OsFamily::OtherWindows;
}

bool IsDevicePresent9x(Registry& registry, OsFamily variant) {
  const UnitNames9x* names = NamesFor(variant);
  if (!names) return false;

  // The list key is opened afresh for every entry and closed before the entry
  // itself is opened, so at most one key is open at a time.
  bool lun0_seen = false;
  for (std::uint32_t index = 0;; ++index) {
    std::optional<std::string> name;
    {
      RegistryKey list = RegistryKey::Open(registry, RegistryRoot::DynData, kPresentDevices9x);
      if (!list) return false;
      name = registry.SubkeyName(list.handle(), index);
      if (!name) return false;  // the end of the list, or unreadable
      if (!list.Close()) return false;
    }

    RegistryKey entry =
        RegistryKey::Open(registry, RegistryRoot::DynData, std::string(kPresentDevices9x) + *name);
    if (!entry) continue;
    // LUN 1 only counts once LUN 0 has been met earlier in the list.
    if (!lun0_seen) {
      lun0_seen = RegistryValueEquals(registry, entry, kHardwareIdValue, names->hardware_id[0]);
    } else if (RegistryValueEquals(registry, entry, kHardwareIdValue, names->hardware_id[1])) {
      return true;
    }
  }
}

void ReadDriveLetter9x(Registry& registry, OsFamily variant) {
  const UnitNames9x* names = NamesFor(variant);
  if (!names) return;
  const bool me = variant == OsFamily::WindowsMe;
  // User mode wants the letter of LUN 0; test/adjust mode works on LUN 1.
  const int wanted = TestAdjustMode() ? 1 : 0;

  struct LunEntry {
    int lun = -1;
    std::string letter;
  };
  LunEntry entries[2];

  for (int i = 0; i < 2; ++i) {
    LunEntry& entry = entries[i];
    {
      RegistryKey key = RegistryKey::Open(registry, RegistryRoot::LocalMachine, names->scsi_key[i]);
      if (key) {
        if (auto text = ReadText(registry, key, kUnitNumberValue, kTextBufferBytes)) {
          entry.lun = ParseDecimal(*text);
        }
      }
    }
    if (entry.lun == -1) continue;

    RegistryKey key = RegistryKey::Open(registry, RegistryRoot::LocalMachine, names->scsi_key[i]);
    if (!key) continue;
    if (auto text = ReadText(registry, key, kDriveLetterValue, kTextBufferBytes)) {
      entry.letter = *text;
      // Windows Me takes the letter of its key straight away, whatever unit
      // number the key reports.
      if (me && i == wanted) SharedState::SetDeviceDrive(entry.letter);
    }
  }

  // Windows 98 goes by the unit number each key reports; when both keys claim
  // the wanted unit, the second one wins, even with an empty letter.
  if (!me) {
    for (const LunEntry& entry : entries) {
      if (entry.lun == wanted) SharedState::SetDeviceDrive(entry.letter);
    }
  }
}

void FindDriveLetterNt(Registry& registry) {
  // The first control set that holds the board's instance is used; the
  // current control set is not looked up.
  RegistryKey instance;
  for (int n = 1; n <= kLastControlSet && !instance; ++n) {
    instance = RegistryKey::Open(registry, RegistryRoot::LocalMachine,
                                 Z4UsbStorageKey(n) + kBoardInstance);
  }
  if (!instance) return;

  std::optional<std::vector<std::uint8_t>> prefix_data;
  if (const auto size = registry.ValueSize(instance.handle(), kParentIdPrefixValue)) {
    prefix_data = registry.ReadValue(instance.handle(), kParentIdPrefixValue, *size);
  }
  instance.Close();
  if (!prefix_data) return;
  const std::vector<std::uint8_t> pattern = RemovableMediaPattern(RegistryText(*prefix_data));

  ScanMountedDevices(registry,
                     [&](const MountedData& data) { return StartsWithBytes(data, pattern); });
}

void FindDriveLetterByVolume(Registry& registry) {
  // User mode wants the volume of logical unit 0; test/adjust mode works on
  // unit 1. The rest of the device path (the interface class) is not compared.
  const std::string unit_path =
      kBoardUsbStoragePath + std::string(TestAdjustMode() ? "1" : "0") + "#";
  ScanMountedDevices(registry,
                     [&](const MountedData& data) { return StartsWithText(data, unit_path); });
}

bool RegistryValueEquals(Registry& registry, const RegistryKey& key, const std::string& name,
                         const std::string& expected) {
  const auto text = ReadText(registry, key, name, kTextBufferBytes);
  return text && *text == expected;
}

void ConfirmDeviceDrive(Ports& ports) {
  const std::string drive = SharedState::GetDeviceDrive();
  if (drive.empty()) {
    SharedState::SetDeviceFound(0);
    return;
  }
  // Test/adjust mode works on the second logical unit, which need not hold a
  // medium, so its drive is not entered.
  if (TestAdjustMode()) {
    SharedState::SetDeviceFound(1);
    return;
  }
  if (ProbeDrive(ports, drive)) {
    SharedState::SetDeviceFound(1);
  } else {
    SharedState::SetDeviceDrive("");
    SharedState::SetDeviceFound(0);
  }
}

bool ProbeDrive(Ports& ports, const std::string& letter) {
  DriveErrorDialogsOff quiet(ports.system);
  // The saved directory is kept at its full length, however long it is, so
  // that it can always be restored.
  const std::optional<std::string> saved = ports.files.CurrentDirectory();
  const bool entered = ports.files.EnterDirectory(letter + ":");
  if (saved) ports.files.EnterDirectory(*saved);
  return entered;
}

}  // namespace z4
