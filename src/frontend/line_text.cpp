#include "frontend/line_text.h"

#include <algorithm>
#include <cstdio>

#include "platform/code_page.h"

namespace velarin::frontend {
namespace {
constexpr size_t kHeadBytes = 64;  // enough to tell a replaced text from a grown one
constexpr std::string_view kLineEnd = "\r\n";

// Every character of the code page lies below U+10000: one to three bytes.
void AppendUtf8(std::string& out, char32_t ch) {
  const auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
  if (ch < 0x80) return put(ch);
  if (ch < 0x800) {
    put(0xC0 | ch >> 6);
  } else {
    put(0xE0 | ch >> 12);
    put(0x80 | (ch >> 6 & 0x3F));
  }
  put(0x80 | (ch & 0x3F));
}

}  // namespace

std::string PrintableLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    const auto u = static_cast<unsigned char>(c);
    const char32_t ch = CodePointOfByte(u);
    if (u == 0) {
      out += "\\0";
    } else if (u == '\r') {
      out += "\\r";
    } else if (u == '\n') {
      out += "\\n";
    } else if ((ch < 0x20 && ch != '\t') || (ch >= 0x7F && ch <= 0x9F)) {
      // C1 controls too (the codes without a character): a terminal may act on them.
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      AppendUtf8(out, ch);
    }
  }
  return out;
}

std::vector<std::string> LineTracker::NewLines(std::string_view text) {
  const std::string_view head = text.substr(0, std::min(text.size(), kHeadBytes));
  // Shorter than what was handed out, or different at the start: a new text began.
  if (text.size() < consumed_ ||
      head.substr(0, std::min(head.size(), head_.size())) !=
          std::string_view(head_).substr(0, std::min(head.size(), head_.size()))) {
    consumed_ = 0;
  }
  head_ = std::string(head);
  std::vector<std::string> lines;
  for (;;) {
    const size_t end = text.find(kLineEnd, consumed_);
    if (end == std::string_view::npos) break;
    lines.emplace_back(text.substr(consumed_, end - consumed_));
    consumed_ = end + kLineEnd.size();
  }
  return lines;
}

std::vector<std::string> LineTracker::Rest(std::string_view text) {
  std::vector<std::string> lines = NewLines(text);
  if (consumed_ < text.size()) {
    lines.emplace_back(text.substr(consumed_));
    consumed_ = text.size();
  }
  return lines;
}

}  // namespace velarin::frontend
