#include "actuators/typed_byte.h"

#include "protocol/kline_codes.h"

namespace velarin {
namespace {

constexpr size_t kLoggedTypedChars = 24;

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

int DigitValue(char c, int base) {
  int d = -1;
  if (c >= '0' && c <= '9') d = c - '0';
  if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
  return d < base ? d : -1;
}

// The whole text as an unsigned number of `base`, when it is at most `max`.
std::optional<uint8_t> ByteFromDigits(std::string_view text, int base, unsigned max) {
  text = TrimBlanks(text);
  if (text.empty()) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    const int d = DigitValue(c, base);
    if (d < 0) return std::nullopt;
    value = value * base + static_cast<unsigned>(d);
    if (value > max) return std::nullopt;  // stops before it could overflow
  }
  return static_cast<uint8_t>(value);
}

}  // namespace

std::optional<uint8_t> CustomCodeFromText(std::string_view text) {
  return ByteFromDigits(text, 16, 0xFF);
}

std::optional<uint8_t> TrimmerByteFromText(std::string_view text) {
  return ByteFromDigits(text, 10, kline::kTrimmerMax);
}

std::string TypedTextForLog(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, kLoggedTypedChars)) {
    out.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c);
  }
  if (text.size() > kLoggedTypedChars) out.append("...");
  return out;
}

}  // namespace velarin
