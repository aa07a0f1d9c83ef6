#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace velarin {
namespace {

// The characters themselves are checked where they are shown (PrintableLine).
TEST(CodePage, EveryByteComesBackAndOtherCharactersHaveNone) {
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(ByteOfCodePoint(CodePointOfByte(static_cast<uint8_t>(b))), b) << b;
  }
  EXPECT_EQ(CodePointOfByte(0x9D), 0x9Du);  // undefined in Windows-1252: the C1 control
  for (char32_t cp : {0x0080u, 0x009Eu, 0x0100u, 0x20ADu, 0x1F600u}) {
    EXPECT_FALSE(ByteOfCodePoint(cp).has_value()) << static_cast<uint32_t>(cp);
  }
}

}  // namespace
}  // namespace velarin
