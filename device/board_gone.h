// Noticing that the board's drive went away while the program waits on it.
//
// Whatever waits on the board (the end-marker poll, a delivery, a fetch)
// touches its drive at every attempt. When an attempt fails, a search for the
// same path tells a file that is not there (yet) from a root or a drive that
// is missing; two such misses in a row, or the system's notice that the
// board's volume was removed, mark the board gone. A board that is only slow
// keeps its drive, and with it the whole time limit of its job. Every wait
// ends at once on a board that is gone, the way it ends on a failure, and the
// device watch then handles the removal as it handles it when idle.
#pragma once

#include <string>

#include "core/ports.h"

namespace z4 {

// Misses in a row that mark the board gone.
inline constexpr int kMissesForGone = 2;

// After an attempt on `path` on the board's drive failed: searches for the
// path (with the system's drive dialogs off) and counts a miss when its
// folder or the drive is missing, or starts the count again when the search
// reached the drive. True when the board is gone.
bool BoardGoneAfterFailure(Ports& ports, const std::string& path);
// An attempt reached the board's drive: the misses, and the device watch's
// failed looks, start again from none.
void BoardReached();

// True once the board is known to be gone, until ForgetBoardGone.
bool BoardGone();
// The system removed the volumes of these drive letters (bit 0 drive A); the
// board is gone when its letter is among them.
void VolumesRemoved(unsigned long unit_mask);
// The removal has been handled, or a board has been found anew.
void ForgetBoardGone();

}  // namespace z4
