// The edge where what a handler throws is caught before it reaches the system.
#include "platform/guarded_call.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace z4 {
namespace {

TEST(GuardedCallTest, WhatTheBodyThrowsIsReportedAndAnsweredAsFailed) {
  int reports = 0;
  const auto report = [&] { ++reports; };
  EXPECT_EQ(CallGuarded([] { return 5; }, 0, report), 5);
  EXPECT_EQ(reports, 0) << "no failure, no report";
  // Memory that could not be had is what escapes in practice; anything else
  // is caught all the same.
  EXPECT_EQ(CallGuarded([]() -> int { throw std::bad_alloc(); }, 7, report), 7);
  EXPECT_EQ(CallGuarded([]() -> int { throw std::length_error("vector"); }, 8, report), 8);
  EXPECT_EQ(reports, 2);
}

}  // namespace
}  // namespace z4
