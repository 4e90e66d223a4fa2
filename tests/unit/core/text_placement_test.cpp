#include "core/text_placement.h"

#include <gtest/gtest.h>

namespace z4 {
namespace {

TEST(CentredWithin, CentresThenKeepsTheStretchInsideItsBounds) {
  struct Case {
    int centre, length;
    Span bounds, expected;
  };
  for (const Case& c : {
           Case{50, 20, {0, 100}, {40, 60}},   // room on both sides
           Case{50, 21, {0, 100}, {40, 61}},   // an odd length keeps its pixel
           Case{95, 20, {0, 100}, {80, 100}},  // held back by the last pixel
           Case{3, 20, {0, 100}, {0, 20}},     // and by the first
           Case{50, 20, {45, 100}, {45, 65}},  // a gap's top two pixels kept clear
           Case{50, 30, {45, 70}, {45, 75}},   // too long: from the first pixel on
           Case{95, 20, {}, {85, 105}},        // no bounds, nothing held back
       }) {
    EXPECT_EQ(CentredWithin(c.centre, c.length, c.bounds), c.expected)
        << c.centre << " " << c.length << " in " << c.bounds.first << ".." << c.bounds.last;
  }
}

}  // namespace
}  // namespace z4
