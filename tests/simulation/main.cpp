// z4_simulate: runs the whole program against a faulty board and PC from a
// seed, and checks every promise after every step.
//
//   z4_simulate --seed N [--steps K]     replays one run exactly (K: most steps, 60)
//   z4_simulate --seed N --seconds S     runs seed after seed from N for S seconds
//                                        (--until-violation: or to the first violation)
//
// A violation prints its seed, step and invariant, and the run shrunk to the
// shortest sequence of steps that still breaks the same promise, as a story.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "simulation/scenario.h"
#include "simulation/world.h"

namespace {

using z4::simulation::RunOutcome;
using z4::simulation::RunScenario;
using z4::simulation::Scenario;

// The shortest scenario found that breaks the same promise, within a budget of runs.
rc::Shrinkable<Scenario> Shrink(rc::Shrinkable<Scenario> failing, const std::string& invariant) {
  int budget = 3000;
  for (bool smaller = true; smaller && budget > 0;) {
    smaller = false;
    auto shrinks = failing.shrinks();
    while (auto candidate = shrinks.next()) {
      if (--budget <= 0) break;
      const RunOutcome outcome = RunScenario(candidate->value());
      if (outcome.violation && outcome.violation->invariant == invariant) {
        failing = *candidate;
        smaller = true;
        break;
      }
    }
  }
  return failing;
}

void Report(std::uint64_t seed, int max_steps, const rc::Shrinkable<Scenario>& generated,
            const RunOutcome& outcome) {
  const auto& v = *outcome.violation;
  std::printf("VIOLATION seed %llu (replay: z4_simulate --seed %llu --steps %d), step %d: %s: %s\n",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed),
              max_steps, v.step, v.invariant.c_str(), v.detail.c_str());
  const auto shrunk = Shrink(generated, v.invariant);
  const RunOutcome small = RunScenario(shrunk.value());
  std::printf("shrunk to %zu steps:\n", shrunk.value().steps.size());
  if (std::getenv("Z4_SIM_TRACE")) {
    for (const auto& step : shrunk.value().steps) {
      std::printf("  step: %s\n", z4::simulation::StepText(step).c_str());
    }
  }
  for (const auto& line : small.story) std::printf("  %s\n", line.c_str());
  if (small.violation) {
    std::printf("  => %s: %s\n", small.violation->invariant.c_str(),
                small.violation->detail.c_str());
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seed = 1;
  int max_steps = 60;
  double seconds = -1;
  bool story = false;
  bool until_violation = false;
  for (int i = 1; i < argc; ++i) {
    const bool value = i + 1 < argc;
    if (!std::strcmp(argv[i], "--seed") && value) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (!std::strcmp(argv[i], "--steps") && value) {
      max_steps = std::atoi(argv[++i]);
    } else if (!std::strcmp(argv[i], "--seconds") && value) {
      seconds = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--story")) {
      story = true;
    } else if (!std::strcmp(argv[i], "--until-violation")) {
      until_violation = true;
    } else {
      std::fprintf(stderr, "usage: z4_simulate --seed N [--steps K] [--seconds S] [--story]\n");
      return 2;
    }
  }
  const auto scenarios = z4::simulation::Scenarios(max_steps);
  if (seconds < 0) {
    const auto generated = scenarios(rc::Random(seed), max_steps);
    const RunOutcome outcome = RunScenario(generated.value());
    if (story || !outcome.violation) {
      for (const auto& line : outcome.story) std::printf("  %s\n", line.c_str());
    }
    if (outcome.violation) {
      Report(seed, max_steps, generated, outcome);
      return 1;
    }
    std::printf("seed %llu: %d steps, no violation\n", static_cast<unsigned long long>(seed),
                outcome.steps);
    return 0;
  }
  const auto begin = std::chrono::steady_clock::now();
  long long runs = 0, steps = 0, violations = 0;
  std::uint64_t next = seed;
  while (std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() <
         seconds) {
    const auto generated = scenarios(rc::Random(next), max_steps);
    const RunOutcome outcome = RunScenario(generated.value());
    ++runs;
    steps += outcome.steps;
    if (outcome.violation) {
      ++violations;
      Report(next, max_steps, generated, outcome);
      if (until_violation) {
        ++next;
        break;
      }
    }
    ++next;
    // Memory stays bounded: runs leave nothing behind that piles up.
    rusage usage{};
    if (runs % 1000 == 0 && getrusage(RUSAGE_SELF, &usage) == 0 && usage.ru_maxrss > 1024 * 1024) {
      ++violations;
      std::printf("VIOLATION after %lld runs: memory: %ld MB in use\n", runs, usage.ru_maxrss / 1024);
      break;
    }
  }
  std::printf("simulation: %lld runs, %lld steps, %lld violations, seeds %llu..%llu\n", runs, steps,
              violations, static_cast<unsigned long long>(seed),
              static_cast<unsigned long long>(next - 1));
  return violations == 0 ? 0 : 1;
}
