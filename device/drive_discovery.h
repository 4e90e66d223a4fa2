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

// Sets DeviceFound, and empties DeviceDrive when the drive cannot be entered.
void ConfirmDeviceDrive(Ports& ports);

// True when `letter` + ":" can be made the current directory. The process's
// current directory is the same afterwards as before.
bool ProbeDrive(Ports& ports, const std::string& letter);

}  // namespace z4
