// A start-up trace that keeps the names of the marks in order and lets a test
// look at the program at the moment of each mark.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/startup_trace.h"

namespace z4::fakes {

class RecordingStartupTrace : public StartupTrace {
 public:
  void Mark(std::string_view phase) override {
    phases.emplace_back(phase);
    if (on_mark) on_mark(phases.back());
  }

  std::vector<std::string> phases;
  std::function<void(const std::string&)> on_mark;
};

}  // namespace z4::fakes
