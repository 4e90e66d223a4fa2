// Time as the program sees it: blocking pauses and a millisecond counter.
#pragma once

#include <cstdint>

namespace z4 {

class Clock {
 public:
  virtual ~Clock() = default;
  // Blocks the calling thread for `ms` milliseconds.
  virtual void Pause(unsigned ms) = 0;
  // Milliseconds since an arbitrary fixed point.
  virtual std::int64_t NowMs() = 0;
};

}  // namespace z4
