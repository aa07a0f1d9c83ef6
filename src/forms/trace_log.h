#pragma once
// A window's log (its rich-text box Rtb1): append-only, each entry + "\r\n".
// Appending costs the length of the line, never a copy of the whole log.

#include <cstddef>
#include <string>
#include <string_view>

namespace velarin {

class TraceLog {
 public:
  // Appends `text` + "\r\n".
  void Append(std::string_view text);
  const std::string& Text() const { return text_; }
  size_t LineCount() const { return lines_; }
  // Caret position; ScrollToEnd places it after the last character.
  size_t Caret() const { return caret_; }
  void ScrollToEnd() {
    caret_ = text_.size();
    ++scrolls_;
  }
  size_t ScrollCount() const { return scrolls_; }
  void Clear();

 private:
  std::string text_;
  size_t lines_ = 0;
  size_t caret_ = 0;
  size_t scrolls_ = 0;
};

}  // namespace velarin
