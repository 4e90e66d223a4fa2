// A millisecond counter that never wraps, made from the system's 32-bit tick
// count, which wraps to 0 every 49.7 days. Differences between two readings
// are taken as unsigned 32-bit values, so a wrap between them costs nothing as
// long as readings come less than 49.7 days apart.
#pragma once

#include <cstdint>

namespace z4 {

class TickCount {
 public:
  // The counter for a new reading of the 32-bit tick count. The first reading
  // is taken as it is.
  std::int64_t Advance(std::uint32_t tick) {
    if (started_) {
      total_ += static_cast<std::uint32_t>(tick - last_);
    } else {
      total_ = tick;
      started_ = true;
    }
    last_ = tick;
    return total_;
  }

 private:
  bool started_ = false;
  std::uint32_t last_ = 0;
  std::int64_t total_ = 0;
};

}  // namespace z4
