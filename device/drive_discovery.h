// Finding the drive letter under which the board's disk is mounted.
//
// The board shows itself to Windows as a USB mass-storage disk with two logical
// units. Its drive letter is read from the registry, by a route that depends on
// the Windows version, and then confirmed by entering the drive. The outcome is
// published in SharedState's DeviceDrive (the letter alone, or empty) and
// DeviceFound (1 when that letter could be entered).
#pragma once

#include <string>

#include "core/ports.h"
#include "device/registry_key.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace z4 {

// The class of the running Windows, as far as the registry route goes.
enum class OsFamily {
  Windows98 = 0,         // 4.10
  Windows2000OrXP = 1,   // 5.0 and 5.1
  OtherWindows = 2,      // anything else, or a failed version query: no route
  WindowsMe = 3,         // 4.90
  WindowsNtAfterXp = 4,  // 5.2, 6.x (Vista to 8.1) and 10.0 (10 and 11)
};

// Resets DeviceDrive and DeviceFound, reads the letter by the route of the
// running Windows (or takes the letter named on the command line) and
// confirms it. Nothing is remembered between calls.
void FindDeviceDrive(Ports& ports);

OsFamily GetOsFamily(System& system);

// Windows 98 and Me (`variant` is OsFamily::Windows98 or OsFamily::WindowsMe;
// any other value finds nothing). The board is present when the system's list
// of present devices holds its LUN 0 entry and, later in the list, its LUN 1
// entry.
bool IsDevicePresent9x(Registry& registry, OsFamily variant);

// Windows 98 and Me: sets DeviceDrive from the SCSI keys of the two logical
// units, or leaves it as it is when no letter is found.
void ReadDriveLetter9x(Registry& registry, OsFamily variant);

// Windows 2000 and XP: sets DeviceDrive from the mounted-device table entry
// that points at the board's USB storage instance, or leaves it as it is.
void FindDriveLetterNt(Registry& registry);

// Windows versions after XP: sets DeviceDrive from the mounted-device table
// entry that names the board's USB storage unit (unit 0, or unit 1 in
// test/adjust mode), or leaves it as it is.
void FindDriveLetterByVolume(Registry& registry);

// True only when the value can be read (into a 256-byte buffer) and its text,
// up to the terminating zero, equals `expected` byte for byte.
bool RegistryValueEquals(Registry& registry, const RegistryKey& key, const std::string& name,
                         const std::string& expected);

// Sets DeviceFound, and empties DeviceDrive when the drive cannot be entered.
void ConfirmDeviceDrive(Ports& ports);

// True when `letter` + ":" can be made the current directory. The process's
// current directory is the same afterwards as before.
bool ProbeDrive(Ports& ports, const std::string& letter);

}  // namespace z4
