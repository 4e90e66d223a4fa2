// What a handler throws is caught before it reaches the system.
#include "platform/guarded_call.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

TEST(GuardedCallTest, WhatTheBodyThrowsIsReportedAndAnsweredAsFailed) {
  int reports = 0;
  const auto report = [&] { ++reports; };
  EXPECT_EQ(z4::CallGuarded([] { return 5; }, 0, report) + reports, 5) << "no failure, no report";
  // Memory that could not be had is what escapes in practice.
  EXPECT_EQ(z4::CallGuarded([]() -> int { throw std::bad_alloc(); }, 7, report), 7);
  EXPECT_EQ(z4::CallGuarded([]() -> int { throw std::length_error("vector"); }, 8, report), 8);
  EXPECT_EQ(reports, 2);
}
