#include "fakes/virtual_clock.h"

namespace z4::fakes {

void VirtualClock::Pause(unsigned ms) {
  paused_ms_ += ms;
  ++pause_count_;
  pauses_.push_back(ms);
  Advance(ms);
}

void VirtualClock::AdvanceTo(std::int64_t target) {
  for (;;) {
    Actor* due = nullptr;
    for (auto& a : actors_) {
      if (a.next <= target && (!due || a.next < due->next)) due = &a;
    }
    if (!due) break;
    if (due->next > now_) now_ = due->next;
    due->next += due->period;
    due->wake(now_);
  }
  if (target > now_) now_ = target;
}

void VirtualClock::AddActor(std::int64_t period_ms, std::function<void(std::int64_t)> wake) {
  actors_.push_back(Actor{period_ms, now_ + period_ms, std::move(wake)});
}

}  // namespace z4::fakes
