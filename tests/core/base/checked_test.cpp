#include <gtest/gtest.h>

#include <cmath>

#include "core/base/checked.h"
#include "core/base/failure.h"
#include "tests/support/failure_of.h"

namespace sarvel {
namespace {

using testing::FailureOf;

TEST(Checked, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(3.5), 4.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
  EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0.0);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3.0);
  EXPECT_EQ(ToInt16(5 * 0.7), 4);  // 3.5 -> 4
  EXPECT_EQ(ToInt16(9 * 0.7), 6);  // 6.3
  EXPECT_EQ(ToInt16(-0.5), 0);
}

TEST(Checked, SixteenBitRangeIsEnforcedAtEveryOperation) {
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(-32768.5), -32768);  // the even neighbour is in range
  EXPECT_EQ(FailureOf([] { ToInt16(32767.5); }), 6);
  EXPECT_EQ(FailureOf([] { ToInt16(-32769.0); }), 6);
  EXPECT_EQ(FailureOf([] { ToInt16(std::nan("")); }), 6);
  EXPECT_EQ(Add16(32766, 1), 32767);
  EXPECT_EQ(FailureOf([] { Add16(32767, 1); }), 6);
  EXPECT_EQ(FailureOf([] { Sub16(-32768, 1); }), 6);
  EXPECT_EQ(FailureOf([] { Mul16(200, 200); }), 6);
}

TEST(Checked, ThirtyTwoBitRangeAndDivision) {
  EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(FailureOf([] { ToInt32(2147483647.5); }), 6);
  EXPECT_EQ(FailureOf([] { Mul32(6000, 1000000); }), 6);
  EXPECT_EQ(Sub32(-2147483647, 1), -2147483647 - 1);
  EXPECT_EQ(FailureOf([] { Div32(1, 0); }), 11);
  EXPECT_EQ(FailureOf([] { ToSingle(1e300); }), 6);
  EXPECT_EQ(ToSingle(2.5), 2.5f);
}

TEST(Failure, NumbersDescribeThemselves) {
  EXPECT_EQ(DescribeFailure(53), "File not found");
  EXPECT_EQ(DescribeFailure(75), "Path/File access error");
  EXPECT_EQ(DescribeFailure(481), "Invalid picture");
  EXPECT_EQ(DescribeFailure(12345), "Application-defined or object-defined error");
  RuntimeFailure f(Err::kOverflow);
  EXPECT_EQ(f.number(), 6);
  EXPECT_EQ(f.description(), "Overflow");
}

}  // namespace
}  // namespace sarvel
