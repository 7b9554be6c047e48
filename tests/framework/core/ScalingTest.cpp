#include <gtest/gtest.h>

#include <climits>

#include "framework/core/Scaling.h"

namespace fw {
namespace {

TEST(Scaling, MulDivRoundsHalfAwayFromZeroWithoutOverflow) {
  struct Case {
    int n, num, den, expected;
  } cases[] = {
      {161, 144, 96, 242},                     // 241.5
      {-19, 144, 96, -29},                     // -28.5: font heights are negative
      {200, 144, 96, 300}, {75, 120, 96, 94},  // 93.75
      {10, 1, 3, 3},       {INT_MAX, 2, 2, INT_MAX}, {5, 1, 0, -1}, {7, 3, -2, -11},  // -10.5
      {INT_MAX, 3, 2, -1}, {INT_MIN, -1, 1, -1},                                      // beyond int
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MulDiv(c.n, c.num, c.den), c.expected) << c.n << "*" << c.num << "/" << c.den;
  }
}

TEST(Scaling, DesignLengthsScaleByPixelsPerInchOver96) {
  EXPECT_EQ(ScaleToDpi(200, 96), 200);
  EXPECT_EQ(ScaleToDpi(200, 144), 300);
  EXPECT_EQ(ScaleToDpi(1340, 192), 2680);
}

}  // namespace
}  // namespace fw
