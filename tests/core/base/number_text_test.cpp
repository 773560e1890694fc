#include <gtest/gtest.h>

#include <cmath>

#include "core/base/failure.h"
#include "core/base/number_text.h"
#include "tests/support/failure_of.h"

namespace sarvel {
namespace {

using testing::FailureOf;

TEST(NumberText, ParsesWithTheRegionalSeparator) {
  EXPECT_EQ(ParseNumber(" 2.5 ", "."), 2.5);
  EXPECT_EQ(ParseNumber("2,5", ","), 2.5);
  EXPECT_EQ(ParseNumber("-10", "."), -10.0);
  EXPECT_EQ(ParseNumber("+7", "."), 7.0);
  EXPECT_EQ(ParseNumber(".5", "."), 0.5);
  EXPECT_EQ(ParseNumber("1E+07", "."), 1e7);
  EXPECT_EQ(ParseNumber("1e-400", "."), 0.0);
  // The foreign separator, texts and empties are type mismatches.
  EXPECT_EQ(FailureOf([] { ParseNumber("2.5", ","); }), 13);
  EXPECT_EQ(FailureOf([] { ParseNumber("abc", "."); }), 13);
  EXPECT_EQ(FailureOf([] { ParseNumber("", "."); }), 13);
  EXPECT_EQ(FailureOf([] { ParseNumber("   ", "."); }), 13);
  EXPECT_EQ(FailureOf([] { ParseNumber("5 5", "."); }), 13);
  EXPECT_EQ(FailureOf([] { ParseNumber(std::string("5\0", 2), "."); }), 13);
  EXPECT_EQ(FailureOf([] { ParseNumber("1e999", "."); }), 6);
}

TEST(NumberText, FieldConversionsRoundAndRangeCheck) {
  EXPECT_EQ(Int16OfText("2.5", "."), 2);
  EXPECT_EQ(Int16OfText("3.5", "."), 4);
  EXPECT_EQ(Int16OfText("32767", "."), 32767);
  EXPECT_EQ(FailureOf([] { Int16OfText("32768", "."); }), 6);
  EXPECT_EQ(Int32OfText("-2147483648", "."), -2147483647 - 1);
  EXPECT_EQ(FailureOf([] { Int32OfText("2147483648", "."); }), 6);
  EXPECT_EQ(FailureOf([] { SingleOfText("1e39", "."); }), 6);
}

TEST(NumberText, SingleTextIsSevenSignificantDigitsWithoutTrailingZeros) {
  EXPECT_EQ(SingleText(10.0f, "."), "10");
  EXPECT_EQ(SingleText(2.5f, ","), "2,5");
  EXPECT_EQ(SingleText(0.1f, "."), "0.1");
  EXPECT_EQ(SingleText(1.0f / 3.0f, "."), "0.3333333");
  EXPECT_EQ(SingleText(-0.5f, "."), "-0.5");
  EXPECT_EQ(SingleText(1e7f, "."), "1E+07");
}

TEST(NumberText, EverySpeedTheDialogMakesReadsBackExactly) {
  for (const char* sep : {".", ","}) {
    for (int p = 1; p <= 100; ++p) {
      const float speed = float(p * 0.1);
      EXPECT_EQ(SingleOfText(SingleText(speed, sep), sep), speed) << p << sep;
    }
  }
}

TEST(NumberText, LeadingNumberReadsWhatStartsTheText) {
  EXPECT_EQ(LeadingNumber("1234"), 1234.0);
  EXPECT_EQ(LeadingNumber("   1234 trailing"), 1234.0);
  EXPECT_EQ(LeadingNumber("12.5x"), 12.5);
  EXPECT_EQ(LeadingNumber("-42"), -42.0);
  EXPECT_EQ(LeadingNumber("abc"), 0.0);
  EXPECT_EQ(LeadingNumber(""), 0.0);
  EXPECT_EQ(LeadingNumber("-"), 0.0);
  EXPECT_EQ(LeadingNumber("99999999999"), 99999999999.0);
  EXPECT_TRUE(std::isinf(LeadingNumber(std::string(400, '9'))));
}

}  // namespace
}  // namespace sarvel
