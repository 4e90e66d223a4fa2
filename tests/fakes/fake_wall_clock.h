// A wall clock that shows the time a test sets.
#pragma once

#include "platform/wall_clock.h"

namespace z4::fakes {

class FakeWallClock : public WallClock {
 public:
  LocalTime now{2024, 5, 1, 13, 45, 7};
  LocalTime Now() override { return now; }
};

}  // namespace z4::fakes
