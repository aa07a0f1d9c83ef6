#include "actuators/typed_byte.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace velarin {
namespace {

struct Case {
  const char* text;
  std::optional<int> value;
};

TEST(CustomCodeFromText, AcceptsOnlyOneByteOfHex) {
  const Case cases[] = {
      {"1f", 0x1F},
      {"1F", 0x1F},
      {"00", 0x00},
      {"0", 0x00},
      {"ff", 0xFF},
      {"a", 0x0A},
      {" 1f\t", 0x1F},
      {"001f", 0x1F},
      {"0000ff", 0xFF},
      {"", {}},
      {"  ", {}},
      {"100", {}},
      {"1ff", {}},
      {"FFFF", {}},
      {"-1", {}},
      {"zz", {}},
      {"1g", {}},
      {"&h1f", {}},
      {"0x1f", {}},
      {"1 f", {}},
      {"1f\n", {}},
      {"+1", {}},
      {"ffffffffffffffffffff", {}},
  };
  for (const Case& c : cases) {
    const std::optional<uint8_t> got = CustomCodeFromText(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << '"' << c.text << '"';
    if (got) {
      EXPECT_EQ(*got, *c.value) << '"' << c.text << '"';
    }
  }
}

TEST(TrimmerByteFromText, AcceptsOnlyWholeNumbersUpTo254) {
  const Case cases[] = {
      {"0", 0},      {"127", 127},  {"254", 254}, {"255", {}}, {"10", 10},   {" 200 ", 200},
      {"007", 7},    {"", {}},      {"256", {}},  {"-1", {}},  {"-0", {}},   {"abc", {}},
      {"12abc", {}}, {"127.0", {}}, {"1.5", {}},  {"1e2", {}}, {"&hFF", {}}, {"99999999999", {}},
  };
  for (const Case& c : cases) {
    const std::optional<uint8_t> got = TrimmerByteFromText(c.text);
    ASSERT_EQ(got.has_value(), c.value.has_value()) << '"' << c.text << '"';
    if (got) {
      EXPECT_EQ(*got, *c.value) << '"' << c.text << '"';
    }
  }
}

TEST(TypedTextForLog, StaysOnOneShortLine) {
  EXPECT_EQ(TypedTextForLog("1ff"), "1ff");
  EXPECT_EQ(TypedTextForLog("a\r\nb\tc"), "a  b c");
  const std::string long_text(1000, '7');
  EXPECT_EQ(TypedTextForLog(long_text), std::string(24, '7') + "...");
}

}  // namespace
}  // namespace velarin
