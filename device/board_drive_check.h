// Whether a drive letter may be taken for the board before anything on it is
// deleted or written. The board is a removable disk: a fixed disk, a network
// share or a "subst" drive never is, and neither is a USB stick or another
// board's medium that the system's own records name.
#pragma once

#include <string>

#include "core/ports.h"

namespace z4 {

// True when the drive `letter` is removable and nothing the system records
// for it names another device. `from_registry` says the letter came from the
// mounted-device table (rather than from the command line): then, on the
// versions after XP, the volume mounted there now must be the one the table
// names, so that a stale entry of an unplugged board never leads to another
// disk.
bool IsBoardDrive(Ports& ports, char letter, bool from_registry);

}  // namespace z4
