// The system's "no disk in drive" dialogs, off while the program looks at a
// drive that may be empty or gone.
#pragma once

#include "platform/system.h"

namespace z4 {

// Turns off the system's "no disk in drive" dialogs for as long as it lives,
// so that probing an empty or vanished drive never stops the program on a
// message box.
class DriveErrorDialogsOff {
 public:
  explicit DriveErrorDialogsOff(System& system)
      : system_(system), previous_(system.SuppressDriveErrorDialogs()) {}
  ~DriveErrorDialogsOff() { system_.RestoreErrorMode(previous_); }
  DriveErrorDialogsOff(const DriveErrorDialogsOff&) = delete;
  DriveErrorDialogsOff& operator=(const DriveErrorDialogsOff&) = delete;

 private:
  System& system_;
  unsigned previous_;
};

}  // namespace z4
