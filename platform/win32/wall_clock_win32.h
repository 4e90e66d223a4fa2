// The WallClock port on the Win32 API.
#pragma once

#include "platform/wall_clock.h"

namespace z4::win32 {

class Win32WallClock : public WallClock {
 public:
  LocalTime Now() override;
};

}  // namespace z4::win32
