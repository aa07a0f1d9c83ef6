// NumberFromText, the lenient parse of every typed value and "&h" hex text, with
// the whole-number conversions behind it. Checked against the rule it follows:
// blanks, tabs and line feeds anywhere are ignored; "&h" reads hex digits;
// otherwise the longest leading decimal number; any other character ends it.
//
// Input: byte 0 picks a position and a character class, the rest is the text.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "link/numbers.h"
#include "support/fuzz_check.h"

namespace {

using velarin::fuzz::Printable;

bool Ignored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// The decimal number the rule reads from `s` (ignored characters already
// removed), through strtod; nullopt when strtod reports a range error, where
// the parse keeps its own sensible value.
std::optional<double> ReferenceDecimal(const std::string& s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && Digit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && Digit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && Digit(s[j])) {
      while (j < s.size() && Digit(s[j])) ++j;
      end = j;
    }
  }
  const std::string number = s.substr(0, end);
  errno = 0;
  const double value = std::strtod(number.c_str(), nullptr);
  if (errno == ERANGE) return std::nullopt;
  return value;
}

void CheckWholeNumber(double value) {
  int32_t out = 0;
  if (!velarin::ToInt32(value, &out)) {
    FUZZ_CHECK(!std::isfinite(value) || std::fabs(value) > 2147483647.0,
               "ToInt32 refused " + std::to_string(value));
    return;
  }
  const double diff = static_cast<double>(out) - value;
  FUZZ_CHECK(std::fabs(diff) <= 0.5, "ToInt32 off by more than a half");
  if (std::fabs(diff) == 0.5) FUZZ_CHECK(out % 2 == 0, "a half rounded to odd");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  const double value = velarin::NumberFromText(text);
  FUZZ_CHECK(!std::isnan(value), "NaN from \"" + Printable(text) + "\"");
  FUZZ_CHECK(std::isfinite(value), "no finite number from \"" + Printable(text) + "\"");

  std::string kept;
  for (char c : text) {
    if (!Ignored(c)) kept.push_back(c);
  }
  const bool hex = kept.size() >= 2 && kept[0] == '&' && (kept[1] == 'h' || kept[1] == 'H');
  if (!hex) {
    if (std::optional<double> expected = ReferenceDecimal(kept)) {
      FUZZ_CHECK(value == *expected, "\"" + Printable(text) + "\" read as " +
                                         std::to_string(value) + ", not " +
                                         std::to_string(*expected));
    }
  } else if (kept.size() <= 2 + 13) {  // up to 13 hex digits a double holds exactly
    uint64_t expected = 0;
    for (size_t i = 2; i < kept.size(); ++i) {
      const char c = kept[i];
      const int d = Digit(c)                 ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
      if (d < 0) break;
      expected = expected * 16 + static_cast<uint64_t>(d);
    }
    FUZZ_CHECK(value == static_cast<double>(expected),
               "hex \"" + Printable(text) + "\" read as " + std::to_string(value));
  }

  // Splitting the text at a position picked by the input: an ignored character
  // there changes nothing, and a character that cannot continue a number (a
  // carriage return, a comma) ends it, so what follows does not count.
  const size_t at = text.empty() ? 0 : control % (text.size() + 1);
  const std::string head = text.substr(0, at);
  const std::string tail = text.substr(at);
  static constexpr char kIgnored[] = {' ', '\t', '\n'};
  const std::string spaced = head + kIgnored[(control >> 6) % 3] + tail;
  FUZZ_CHECK(velarin::NumberFromText(spaced) == value,
             "an ignored character changed \"" + Printable(text) + "\"");
  const char stop = (control & 0x20) != 0 ? '\r' : ',';
  const std::string stopped = head + stop + tail;
  const double head_value = velarin::NumberFromText(head);
  FUZZ_CHECK(velarin::NumberFromText(stopped) == head_value,
             "\"" + Printable(stopped) + "\" does not end at the \\x" +
                 (stop == '\r' ? std::string("0D") : std::string("2C")) + ": read as " +
                 std::to_string(velarin::NumberFromText(stopped)) + ", its head as " +
                 std::to_string(head_value));

  CheckWholeNumber(value);
  return 0;
}
