// The outside world as the program's core reaches it.
#pragma once

#include "platform/clock.h"
#include "platform/file_appender.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/startup_trace.h"
#include "platform/system.h"
#include "platform/wall_clock.h"

namespace z4 {

struct Ports {
  Registry& registry;
  System& system;
  FileSystem& files;
  Clock& clock;
  // Start-up marks; dropped unless the run asked for them.
  StartupTrace& trace = NoTrace();
  // The time of day and the appends to the program's log, for the records
  // people read (the log, the history of board writes).
  WallClock& wall_clock = NoWallClock();
  FileAppender& appender = NoAppender();
};

}  // namespace z4
