#include "core/decimal.h"

#include <climits>
#include <gtest/gtest.h>

namespace z4 {
namespace {

TEST(ParseDecimal, ReadsDigitsWithLeadingZeros) {
  EXPECT_EQ(ParseDecimal("0"), 0);
  EXPECT_EQ(ParseDecimal("75"), 75);
  EXPECT_EQ(ParseDecimal("0045"), 45);
  EXPECT_EQ(ParseDecimal("2147483647"), INT_MAX);
}

TEST(ParseDecimal, RejectsAnythingButDigits) {
  for (const char* text : {"", "-1", "+1", " 1", "1 ", "1.5", "0x10", "1e3", "\xEF\xBC\x91"}) {
    EXPECT_EQ(ParseDecimal(text), -1) << text;
  }
  EXPECT_EQ(ParseDecimal(std::string_view("8\0", 2)), -1);
}

TEST(ParseDecimal, LongNumbersNeverWrapIntoRange) {
  // 2^32 + 80 would wrap round to 80 in 32-bit arithmetic.
  EXPECT_EQ(ParseDecimal("4294967376"), INT_MAX);
  EXPECT_EQ(ParseDecimal("99999999999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseDecimal("000000000000000000000080"), 80);
}

TEST(FormatDecimal, PrintsPlainDecimal) {
  EXPECT_EQ(FormatDecimal(0), "0");
  EXPECT_EQ(FormatDecimal(7), "7");
  EXPECT_EQ(FormatDecimal(-15), "-15");
  EXPECT_EQ(FormatDecimal(INT_MIN), "-2147483648");
}

}  // namespace
}  // namespace z4
