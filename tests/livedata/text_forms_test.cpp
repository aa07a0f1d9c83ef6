#include "livedata/text_forms.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace velarin {
namespace {

class TextFormsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDecimalSeparator("."); }
  void TearDown() override { ResetDecimalSeparator(); }
};

struct FormCase {
  double value;
  const char* expected;
};

TEST_F(TextFormsTest, PlainIsTheShortestRoundTripText) {
  const FormCase cases[] = {
      {12.5, "12.5"},
      {-3, "-3"},
      {2.468, "2.468"},
      {0, "0"},
      {-0.0, "0"},
      {600 / 1000.0, "0.6"},
      {127.5, "127.5"},
      {0.002, "0.002"},
      {0.1 + 0.2, "0.30000000000000004"},
      // Large whole numbers stay digits: a speed from a period of 1 is 15000000.
      {15000000, "15000000"},
      {30000000, "30000000"},
      {100000, "100000"},
      {0.00001, "0.00001"},
      {1e20, "1e+20"},
      {-0.0625, "-0.0625"},
  };
  for (const FormCase& c : cases) EXPECT_EQ(PlainText(c.value), c.expected) << c.value;
}

TEST_F(TextFormsTest, WholeNumberTruncatesTowardZero) {
  const FormCase cases[] = {
      {121.32, "121"}, {3750, "3750"}, {-3.9, "-3"}, {-0.7, "0"}, {0.99, "0"}, {1099.9, "1099"},
  };
  for (const FormCase& c : cases) EXPECT_EQ(WholeNumberText(c.value), c.expected) << c.value;
}

TEST_F(TextFormsTest, TwoDecimalsDropsLeadingAndTrailingZerosButKeepsTheSeparator) {
  const FormCase cases[] = {
      {0.5, ".5"},
      {12, "12."},
      {30.006, "30.01"},
      {170 * 0.1848 - 1.41, "30.01"},
      {30.6918, "30.69"},
      {122.1, "122.1"},
      {125, "125."},
      {-55, "-55."},
      {-1.41, "-1.41"},
      {-0.1164, "-.12"},
      // Rounded on the decimal text: 1.005 is 1.00499999... in binary.
      {1.005, "1.01"},
      {0.125, ".13"},
      {21.999999999999996, "22."},
      {99.995, "100."},
      // Nothing left after rounding: no digit, no sign.
      {0, "."},
      {0.004, "."},
      {-0.004, "."},
  };
  for (const FormCase& c : cases) EXPECT_EQ(TwoDecimalsText(c.value), c.expected) << c.value;
}

TEST_F(TextFormsTest, FixedTwoDecimalsAlwaysHasTwoDecimalsAndAnIntegerDigit) {
  const FormCase cases[] = {
      {0.5, "0.50"},   {3.3, "3.30"},    {0, "0.00"},     {0.0023, "0.00"}, {4.9493, "4.95"},
      {1.005, "1.01"}, {9.999, "10.00"}, {-0.5, "-0.50"}, {12, "12.00"},
  };
  for (const FormCase& c : cases) {
    EXPECT_EQ(FixedTwoDecimalsText(c.value), c.expected) << c.value;
  }
}

TEST_F(TextFormsTest, OneDecimalKeepsAnIntegerDigitAndTheSeparator) {
  const FormCase cases[] = {
      {12, "12."},      {12.34, "12.3"}, {0.05, "0.1"},  {0.04, "0."},    {-0.04, "0."},
      {-16.3, "-16.3"}, {0.95, "1."},    {75.7, "75.7"}, {-0.06, "-0.1"}, {99.96, "100."},
  };
  for (const FormCase& c : cases) EXPECT_EQ(OneDecimalText(c.value), c.expected) << c.value;
}

TEST_F(TextFormsTest, EveryFormUsesTheSetSeparator) {
  SetDecimalSeparator(",");
  EXPECT_EQ(DecimalSeparator(), ",");
  EXPECT_EQ(PlainText(12.5), "12,5");
  EXPECT_EQ(PlainText(12), "12");
  EXPECT_EQ(TwoDecimalsText(0.5), ",5");
  EXPECT_EQ(TwoDecimalsText(12), "12,");
  EXPECT_EQ(FixedTwoDecimalsText(1.94), "1,94");
  EXPECT_EQ(OneDecimalText(12), "12,");
  // A separator of more than one byte (U+066B) goes in whole.
  SetDecimalSeparator("\xd9\xab");
  EXPECT_EQ(TwoDecimalsText(30.006),
            "30\xd9\xab"
            "01");
}

TEST_F(TextFormsTest, UnsetSeparatorFollowsTheCLocale) {
  ResetDecimalSeparator();
  EXPECT_EQ(DecimalSeparator(), ".");  // the test process never calls setlocale
  EXPECT_EQ(PlainText(2.5), "2.5");
}

TEST_F(TextFormsTest, NonFiniteValuesGiveAWordNotGarbage) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(PlainText(inf), "inf");
  EXPECT_EQ(TwoDecimalsText(-inf), "-inf");
  EXPECT_EQ(WholeNumberText(std::numeric_limits<double>::quiet_NaN()), "nan");
}

}  // namespace
}  // namespace velarin
