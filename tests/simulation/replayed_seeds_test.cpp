// Runs of the simulation that once broke a promise, replayed exactly: each
// row is the seed that found a defect, kept so that the defect stays fixed.
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
    {"a write that timed out was logged as not written, though a slow board took it", 41},
    {"a board gone for 20 ms during a delivery was taken for gone", 1235},
    {"after one missed look, the next single miss ended the program", 27495},
    {"Enter in the status window passed for the board's end marker", 2563},
    {"Enter in the status window: the history's after file was the program's own", 1668},
    {"a run without memory for its log line ended without a word", 5094},
    {"an end marker left by a job the board was pulled from passed for the next job's", 72935},
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
