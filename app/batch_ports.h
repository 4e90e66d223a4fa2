// What the runs without the main window need besides the program's ports: the
// time of day for their record and a file they append it to.
#pragma once

#include "platform/file_appender.h"
#include "platform/wall_clock.h"

namespace z4 {

struct BatchPorts {
  WallClock& wall_clock;
  FileAppender& appender;
};

}  // namespace z4
