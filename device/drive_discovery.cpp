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
#include "device/drive_route_9x.h"
#include "device/drive_route_nt.h"
#include "device/drive_route_volume.h"

namespace z4 {
namespace {

bool IsVersion(System& system, unsigned major, unsigned minor) {
  const std::optional<OsVersion> version = system.Version();
  return version && version->major == major && version->minor == minor;
}

// The letter found, or nothing when it is not one letter from A to Z (a value
// such as "\\.\C" would name another disk's files) or when its drive is not the
// board's: nothing on it is then touched.
std::string BoardLetter(Ports& ports, std::string letter, bool from_registry) {
  if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z') letter[0] -= 'a' - 'A';
  if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z' ||
      !IsBoardDrive(ports, letter[0], from_registry)) {
    return {};
  }
  return letter;
}

// The letter by the route of the running Windows; nullopt when it finds none.
std::optional<std::string> RegistryLetter(Ports& ports) {
  const bool second_unit = SharedState::GetTestAdjustMode() != 0;
  switch (const OsFamily family = GetOsFamily(ports.system)) {
    case OsFamily::Windows98:
    case OsFamily::WindowsMe:
      return FindLetter9x(ports.registry, family, second_unit);
    case OsFamily::Windows2000OrXP:
      return FindLetterNt(ports.registry);
    case OsFamily::WindowsNtAfterXp: {
      const auto letter = FindLetterByVolume(ports.registry, second_unit);
      // Windows Server 2003 and XP x64 (5.2) may still record a USB disk's
      // volume the way XP does.
      if (!letter && IsVersion(ports.system, 5, 2)) return FindLetterNt(ports.registry);
      return letter;
    }
    case OsFamily::OtherWindows:
      break;
  }
  return std::nullopt;
}

}  // namespace

void FindDeviceDrive(Ports& ports) {
  SharedState::SetDeviceFound(0);
  // A letter named on the command line stands in for the registry, on any
  // Windows version; it is confirmed like a letter read from the registry.
  const std::string named = SharedState::GetDriveOption();
  SharedState::SetDeviceDrive(named.empty()
                                  ? BoardLetter(ports, RegistryLetter(ports).value_or(""), true)
                                  : BoardLetter(ports, named, false));
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

void ConfirmDeviceDrive(Ports& ports) {
  const std::string drive = SharedState::GetDeviceDrive();
  if (drive.empty()) {
    SharedState::SetDeviceFound(0);
    return;
  }
  // Test/adjust mode works on the second logical unit, which need not hold a
  // medium, so its drive is not entered.
  if (SharedState::GetTestAdjustMode() != 0) {
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
