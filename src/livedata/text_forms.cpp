#include "livedata/text_forms.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <mutex>
#include <optional>

namespace velarin {
namespace {

std::mutex separator_mutex;
std::optional<std::string> separator_setting;

// |value| = 0.digits x 10^int_len; digits has no leading zeros (empty for zero).
struct Decimal {
  bool negative = false;
  std::string digits;
  int int_len = 0;
};

Decimal ShortestDecimal(double value) {
  Decimal d;
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  if (ec != std::errc()) return d;
  std::string_view text(buf, static_cast<size_t>(end - buf));
  size_t i = 0;
  if (i < text.size() && text[i] == '-') {
    d.negative = true;
    ++i;
  }
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] != '.') d.digits.push_back(text[i]);
  }
  int exponent = 0;
  if (i < text.size()) {
    std::string_view exp_text = text.substr(i + 1);
    if (!exp_text.empty() && exp_text[0] == '+') exp_text.remove_prefix(1);
    std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exponent);
  }
  d.int_len = exponent + 1;
  size_t first = d.digits.find_first_not_of('0');
  if (first == std::string::npos) {
    d.digits.clear();
    d.int_len = 0;
  } else {
    d.digits.erase(0, first);
    d.int_len -= static_cast<int>(first);
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Rounds to `decimals` places, half away from zero, on the decimal digits.
void RoundDecimal(Decimal& d, int decimals) {
  const int keep = d.int_len + decimals;
  if (static_cast<int>(d.digits.size()) <= keep) return;
  if (keep < 0) {  // even the first dropped place is an implied zero
    d.digits.clear();
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    for (; i >= 0; --i) {
      if (d.digits[static_cast<size_t>(i)] == '9') {
        d.digits[static_cast<size_t>(i)] = '0';
      } else {
        ++d.digits[static_cast<size_t>(i)];
        break;
      }
    }
    if (i < 0) {  // carried out of the leading digit
      d.digits.insert(d.digits.begin(), '1');
      ++d.int_len;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.int_len = 0;
}

struct Layout {
  int min_int_digits;  // 0: "##" (no leading zero), 1: "0"
  int min_decimals;
  bool always_separator;
};

std::string Lay(const Decimal& d, const Layout& layout) {
  std::string integer;
  for (int i = 0; i < d.int_len; ++i) {
    integer.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)]
                                                            : '0');
  }
  while (static_cast<int>(integer.size()) < layout.min_int_digits) integer.insert(0, "0");
  std::string fraction;
  for (int i = std::min(d.int_len, 0); i < 0; ++i) fraction.push_back('0');
  for (size_t i = static_cast<size_t>(std::max(d.int_len, 0)); i < d.digits.size(); ++i) {
    fraction.push_back(d.digits[i]);
  }
  if (d.digits.empty()) fraction.clear();
  while (static_cast<int>(fraction.size()) < layout.min_decimals) fraction.push_back('0');
  std::string out;
  if (d.negative && !d.digits.empty()) out.push_back('-');  // no "-0"
  out += integer;
  if (!fraction.empty() || layout.always_separator) out += DecimalSeparator();
  out += fraction;
  return out;
}

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "nan";
  return value < 0 ? "-inf" : "inf";
}

std::string FixedForm(double value, int decimals, const Layout& layout) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  Decimal d = ShortestDecimal(value);
  RoundDecimal(d, decimals);
  return Lay(d, layout);
}

}  // namespace

void SetDecimalSeparator(std::string_view separator) {
  std::lock_guard<std::mutex> lock(separator_mutex);
  separator_setting = std::string(separator);
}

void ResetDecimalSeparator() {
  std::lock_guard<std::mutex> lock(separator_mutex);
  separator_setting.reset();
}

std::string DecimalSeparator() {
  std::lock_guard<std::mutex> lock(separator_mutex);
  if (separator_setting) return *separator_setting;
  const std::lconv* conv = std::localeconv();
  if (conv == nullptr || conv->decimal_point == nullptr || conv->decimal_point[0] == '\0') {
    return ".";
  }
  return conv->decimal_point;
}

std::string PlainText(double value) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  Decimal d = ShortestDecimal(value);
  if (d.digits.empty()) return "0";
  if (d.int_len > 15 || d.int_len < -4) {
    // Far outside any readout's range: exponent form, as the shortest text gives it.
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string text(buf, ec == std::errc() ? static_cast<size_t>(end - buf) : 0);
    size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, DecimalSeparator());
    return text;
  }
  return Lay(d, Layout{1, 0, false});
}

std::string WholeNumberText(double value) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  return PlainText(std::trunc(value));
}

std::string TwoDecimalsText(double value) { return FixedForm(value, 2, Layout{0, 0, true}); }

std::string FixedTwoDecimalsText(double value) { return FixedForm(value, 2, Layout{1, 2, true}); }

std::string OneDecimalText(double value) { return FixedForm(value, 1, Layout{1, 0, true}); }

}  // namespace velarin
