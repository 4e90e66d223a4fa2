#include "platform/tick_count.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace z4 {
namespace {

TEST(TickCountTest, APauseAcrossTheWrapCountsOnlyItsOwnLength) {
  TickCount ticks;
  const std::int64_t before = ticks.Advance(0xFFFFFF9Cu);  // 100 ms before the wrap
  const std::int64_t after = ticks.Advance(0x00000064u);   // 100 ms after it
  EXPECT_EQ(after - before, 200);
  EXPECT_GT(after, before) << "time never goes back";
  EXPECT_EQ(ticks.Advance(0x000000C8u) - after, 100) << "and goes on counting after the wrap";
}

TEST(TickCountTest, CountsOnAcrossSeveralWrapsWhenReadOften) {
  TickCount ticks;
  std::uint32_t tick = 5;
  const std::int64_t start = ticks.Advance(tick);
  // About three wraps, read a little under once a day.
  const std::uint32_t step = 80'000'000u;
  for (int i = 0; i < 3 * 54; ++i) ticks.Advance(tick += step);
  EXPECT_EQ(ticks.Advance(tick) - start, 3LL * 54 * step);
}

}  // namespace
}  // namespace z4
