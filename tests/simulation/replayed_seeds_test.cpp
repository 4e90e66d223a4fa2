// Runs of the simulation that once broke a promise, replayed exactly: each
// row is the seed that finds a defect when it is planted back, kept so that
// the defect stays fixed (scripts/plant_faults.py --fixed --replay shows
// that each seed still finds its defect).
#include <gtest/gtest.h>

#include "simulation/scenario.h"
#include "simulation/world.h"

namespace z4::simulation {
namespace {

struct Replayed {
  const char* defect;
  std::uint64_t seed;
};

const Replayed kReplayed[] = {
    {"Enter in the status window passed for the board's end marker", 852000},
    {"after one missed look, the next single miss ended the program", 852524},
    {"a board gone for a moment during a delivery was taken for gone", 851817},
    {"a write that timed out was logged as not written, though a slow board took it", 851591},
    {"a run without memory for its log line ended without a word", 856726},
    {"a job file that never reached the board took an old end marker for its own", 865872},
    {"after a write not read back, the next write's before file was stale", 852421},
    {"a miss the watch saw before a job, with one after it, was taken for gone", 1797195087},
};
void PrintTo(const Replayed& r, std::ostream* os) {
  *os << r.defect;
}

class ReplayedSeedTest : public ::testing::TestWithParam<Replayed> {};

TEST_P(ReplayedSeedTest, KeepsEveryPromise) {
  constexpr int kSteps = 60;
  const Scenario scenario = Scenarios(kSteps)(rc::Random(GetParam().seed), kSteps).value();
  const RunOutcome outcome = RunScenario(scenario);
  std::string story;
  for (const auto& line : outcome.story) story += line + "\n";
  ASSERT_FALSE(outcome.violation) << outcome.violation->invariant << ": "
                                  << outcome.violation->detail << "\n"
                                  << story;
  EXPECT_GT(outcome.steps, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ReplayedSeedTest, ::testing::ValuesIn(kReplayed));

}  // namespace
}  // namespace z4::simulation
