// Marks along the program's start-up, each naming a step that has just ended,
// so that the time from process start to the first painted window can be taken
// apart. Off unless a run asks for it; the shell decides where marks go.
#pragma once

#include <string_view>

namespace z4 {

class StartupTrace {
 public:
  virtual ~StartupTrace() = default;
  // The step `phase` ends now.
  virtual void Mark(std::string_view phase) = 0;
};

// The trace of a run that did not ask for one: every mark is dropped.
class NoStartupTrace final : public StartupTrace {
 public:
  void Mark(std::string_view /*phase*/) override {}
};

inline StartupTrace& NoTrace() {
  static NoStartupTrace none;
  return none;
}

}  // namespace z4
