// One simulated run: the real program started as a user starts it, on the
// fakes and the emulated board in virtual time, the scenario's steps carried
// out as they come due (the user's on whatever window is on top, the board's
// and the PC's at any moment, mid-operation included), and every promise
// checked after every step.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "simulation/scenario.h"

namespace z4::simulation {

struct Violation {
  int step = 0;  // the number of steps carried out when it was seen
  std::string invariant;
  std::string detail;
};

struct RunOutcome {
  std::optional<Violation> violation;
  int steps = 0;                   // carried out
  std::vector<std::string> story;  // what happened, step by step
};

RunOutcome RunScenario(const Scenario& scenario);

}  // namespace z4::simulation
