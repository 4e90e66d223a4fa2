#include "device/drive_route_9x.h"

#include <cstddef>
#include <cstdint>

#include "core/decimal.h"
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

}  // namespace

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

std::optional<std::string> FindLetter9x(Registry& registry, OsFamily variant, bool second_unit) {
  const UnitNames9x* names = NamesFor(variant);
  if (!names || !IsDevicePresent9x(registry, variant)) return std::nullopt;
  std::optional<std::string> found;
  const bool me = variant == OsFamily::WindowsMe;
  // User mode wants the letter of LUN 0; test/adjust mode works on LUN 1.
  const int wanted = second_unit ? 1 : 0;

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
      if (me && i == wanted) found = entry.letter;
    }
  }

  // Windows 98 goes by the unit number each key reports; when both keys claim
  // the wanted unit, the second one wins, even with an empty letter.
  if (!me) {
    for (const LunEntry& entry : entries) {
      if (entry.lun == wanted) found = entry.letter;
    }
  }
  return found;
}

bool RegistryValueEquals(Registry& registry, const RegistryKey& key, const std::string& name,
                         const std::string& expected) {
  const auto text = ReadText(registry, key, name, kTextBufferBytes);
  return text && *text == expected;
}

}  // namespace z4
