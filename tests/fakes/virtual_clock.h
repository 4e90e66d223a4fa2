// A clock whose pauses cost no real time. Things that run beside the program
// (the emulated board) register as actors and are woken as virtual time passes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/clock.h"

namespace z4::fakes {

class VirtualClock : public Clock {
 public:
  void Pause(unsigned ms) override;
  std::int64_t NowMs() override { return now_; }

  // Moves time forward to `target`, waking actors on the way.
  void AdvanceTo(std::int64_t target);
  void Advance(std::int64_t ms) { AdvanceTo(now_ + ms); }

  // `wake` runs every `period_ms` of virtual time, first at now + period.
  void AddActor(std::int64_t period_ms, std::function<void(std::int64_t now)> wake);

  // Total time spent in Pause calls, and their number.
  std::int64_t PausedMs() const { return paused_ms_; }
  int PauseCount() const { return pause_count_; }
  const std::vector<unsigned>& Pauses() const { return pauses_; }
  void ClearPauseLog() {
    paused_ms_ = 0;
    pause_count_ = 0;
    pauses_.clear();
  }

 private:
  struct Actor {
    std::int64_t period;
    std::int64_t next;
    std::function<void(std::int64_t)> wake;
  };
  std::int64_t now_ = 0;
  std::int64_t paused_ms_ = 0;
  int pause_count_ = 0;
  std::vector<unsigned> pauses_;
  std::vector<Actor> actors_;
};

}  // namespace z4::fakes
