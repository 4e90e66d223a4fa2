// The date and time of day on the computer's clock, for records that people read.
#pragma once

namespace z4 {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class WallClock {
 public:
  virtual ~WallClock() = default;
  // The local date and time now.
  virtual LocalTime Now() = 0;
};

// The clock of a run that keeps no records: all zeros.
class NoWallClockAtAll final : public WallClock {
 public:
  LocalTime Now() override { return {}; }
};

inline WallClock& NoWallClock() {
  static NoWallClockAtAll none;
  return none;
}

}  // namespace z4
