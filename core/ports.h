// The outside world as the program's core reaches it.
#pragma once

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/startup_trace.h"
#include "platform/system.h"

namespace z4 {

struct Ports {
  Registry& registry;
  System& system;
  FileSystem& files;
  Clock& clock;
  // Start-up marks; dropped unless the run asked for them.
  StartupTrace& trace = NoTrace();
};

}  // namespace z4
