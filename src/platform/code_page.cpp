#include "platform/code_page.h"

namespace velarin {
namespace {

// 0x80..0x9F; every other byte is the Unicode character of the same number.
constexpr char32_t k80To9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

}  // namespace

char32_t CodePointOfByte(uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return k80To9F[byte - 0x80];
  return byte;
}

std::optional<uint8_t> ByteOfCodePoint(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<uint8_t>(code_point);
  }
  for (int i = 0; i < 32; ++i) {
    if (k80To9F[i] == code_point) return static_cast<uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace velarin
