#include "report/html_text.h"

#include <cstdint>

#include "platform/code_page.h"

namespace velarin::report {
namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// True when `c` was written as markup or as a visible escape.
bool AppendSpecial(std::string& out, char32_t c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  switch (c) {
    case '&':
      out += "&amp;";
      return true;
    case '<':
      out += "&lt;";
      return true;
    case '>':
      out += "&gt;";
      return true;
    case '"':
      out += "&quot;";
      return true;
    case '\'':
      out += "&#39;";
      return true;
    case 0:
      out += "\\0";
      return true;
    case '\r':
      out += "\\r";
      return true;
    case '\n':
      out += "\\n";
      return true;
    default:
      break;
  }
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
    out += "\\x";
    out += kDigits[(c >> 4) & 0x0F];
    out += kDigits[c & 0x0F];
    return true;
  }
  return false;
}

}  // namespace

std::string HtmlFromCodePage(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    const char32_t cp = CodePointOfByte(static_cast<uint8_t>(b));
    if (!AppendSpecial(out, cp)) AppendUtf8(out, cp);
  }
  return out;
}

std::string HtmlFromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char b : text) {
    const auto byte = static_cast<unsigned char>(b);
    // Multi-byte sequences pass whole; only ASCII needs care.
    if (byte >= 0x80 || !AppendSpecial(out, byte)) out += b;
  }
  return out;
}

}  // namespace velarin::report
