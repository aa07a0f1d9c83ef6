#include "link/numbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>

#include "link/exchange.h"
#include "link/link_port.h"

namespace velarin {
namespace {

TEST(NumberFromText, ReadsLeniently) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"&h0A", 10},     {"&hFF", 255},      {"&Hff", 255},
      {" 12 abc", 12},  {"1,5", 1},         {"abc", 0},
      {"", 0},          {"7812.5", 7812.5}, {"3.5", 3.5},
      {"-2", -2},       {"+4", 4},          {"1 2 3", 123},
      {"\t1\n0", 10},   {".5", 0.5},        {"5.", 5},
      {"1e3", 1000},    {"2E-1", 0.2},      {"1e", 1},
      {"1e+", 1},       {"&h", 0},          {"&hG1", 0},
      {"-", 0},         {".", 0},           {"&h1 F", 31},
      {"12.3.4", 12.3}, {"0x10", 0},        {"  -0.25x", -0.25},
      {"1\r2", 1},      {"\r5", 0},         {"&h1\rF", 1},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(NumberFromText(c.text), c.value) << c.text;
}

TEST(NumberFromText, HugeExponentStaysFinite) {
  EXPECT_TRUE(std::isfinite(NumberFromText("1e999")));
  EXPECT_EQ(NumberFromText("1e-999"), 0.0);
  EXPECT_EQ(NumberFromText("&h" + std::string(300, 'F')), DBL_MAX);
}

TEST(RoundHalfEven, HalvesGoToEven) {
  struct Case {
    double in, out;
  } cases[] = {{0.5, 0},   {1.5, 2},       {2.5, 2},       {3.5, 4},    {-0.5, -0},
               {-1.5, -2}, {7812.5, 7812}, {7813.5, 7814}, {2.4999, 2}, {2.5001, 3}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(ToInt16, RejectsWhatDoesNotFit) {
  int16_t v = 99;
  EXPECT_TRUE(ToInt16(32767.4, &v));
  EXPECT_EQ(v, 32767);
  EXPECT_FALSE(ToInt16(32767.6, &v));
  EXPECT_FALSE(ToInt16(1e300, &v));
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::quiet_NaN(), &v));
  EXPECT_TRUE(ToInt16(-32768, &v));
  EXPECT_EQ(v, -32768);
}

TEST(PortNumberFromText, RoundsAndFailsToZero) {
  struct Case {
    const char* text;
    int16_t port;
  } cases[] = {{"1", 1},     {"3.5", 4}, {"2.5", 2},  {"letters", 0}, {"", 0},
               {"70000", 0}, {"-1", -1}, {"&h03", 3}, {"1e10", 0}};
  for (const Case& c : cases) EXPECT_EQ(PortNumberFromText(c.text), c.port) << c.text;
}

TEST(ShortestText, RoundTrips) {
  EXPECT_EQ(ShortestText(1), "1");
  EXPECT_EQ(ShortestText(3.5), "3.5");
  EXPECT_EQ(ShortestText(-3), "-3");
  EXPECT_EQ(ShortestText(2.468), "2.468");
  EXPECT_EQ(ShortestText(-0.0), "0");
  EXPECT_EQ(ShortestText(0.1 + 0.2), "0.30000000000000004");
}

TEST(HexText, TwoUpperCaseDigitsPerByte) {
  EXPECT_EQ(HexText({0x00, 0x0A, 0xFF}), "000AFF");
  EXPECT_EQ(HexText({0x17, 0x31}), "1731");
  EXPECT_EQ(HexText({0x0F}), "0F");
  EXPECT_EQ(HexText({}), "");
}

}  // namespace
}  // namespace velarin
