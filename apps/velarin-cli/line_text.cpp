#include "velarin-cli/line_text.h"

#include <algorithm>
#include <cstdio>

namespace velarin::cli {
namespace {
constexpr size_t kHeadBytes = 64;  // enough to tell a replaced text from a grown one
constexpr std::string_view kLineEnd = "\r\n";
}  // namespace

std::string PrintableLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    const auto u = static_cast<unsigned char>(c);
    if (u == 0) {
      out += "\\0";
    } else if (u == '\r') {
      out += "\\r";
    } else if (u == '\n') {
      out += "\\n";
    } else if ((u < 0x20 && u != '\t') || u == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
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

}  // namespace velarin::cli
