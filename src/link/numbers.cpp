#include "link/numbers.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

namespace velarin {
namespace {

// A carriage return is not among them: it ends the number like any other character.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double NumberFromText(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (!IsBlank(c)) s.push_back(c);
  }
  if (s.size() >= 2 && s[0] == '&' && (s[1] == 'h' || s[1] == 'H')) {
    double value = 0;
    for (size_t i = 2; i < s.size(); ++i) {
      int d = HexDigit(s[i]);
      if (d < 0) break;
      // Past DBL_MAX stays there, as an overlong decimal does, rather than becoming infinite.
      value = std::min(value * 16 + d, DBL_MAX);
    }
    return value;
  }
  // Longest leading decimal: [sign] digits [. digits] [e [sign] digits].
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  size_t mantissa_start = i;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) ++j;
      end = j;
    }
  }
  std::string number = s.substr(mantissa_start, end - mantissa_start);
  if (!number.empty() && number[0] == '.') number.insert(0, "0");
  double value = 0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Either underflow (tiny) or overflow: keep the sign of magnitude sensibly.
    bool big = number.find_first_of("123456789") != std::string::npos &&
               number.find("e-") == std::string::npos && number.find("E-") == std::string::npos;
    value = big ? DBL_MAX : 0.0;
  }
  return negative ? -value : value;
}

double RoundHalfEven(double value) {
  // nearbyint rounds to nearest, halves to even, in the default rounding mode.
  return std::nearbyint(value);
}

namespace {
template <typename T>
bool ToInt(double value, T* out) {
  if (!std::isfinite(value)) return false;
  double r = RoundHalfEven(value);
  if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max())) {
    return false;
  }
  *out = static_cast<T>(r);
  return true;
}
}  // namespace

bool ToInt16(double value, int16_t* out) { return ToInt(value, out); }
bool ToInt32(double value, int32_t* out) { return ToInt(value, out); }

std::string ShortestText(double value) {
  if (value == 0) return "0";  // no "-0"
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  if (ec != std::errc()) return "0";
  return std::string(buf, ptr);
}

}  // namespace velarin
