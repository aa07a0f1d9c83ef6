#pragma once
// Turning the windows' texts into output lines: the log and the "ECU Info" box
// grow by lines ending in "\r\n"; LineTracker hands out each complete new line once.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velarin::frontend {

// A line fit for one line of UTF-8 output: each byte the character it stands for
// in the system's code page (platform/code_page.h); NUL as \0, a CR or LF left
// inside the line as \r or \n, other control characters (C0, DEL, C1) as \xHH.
std::string PrintableLine(std::string_view line);

// Follows a text that only grows, or is emptied and starts again (the "ECU Info"
// box on Disconnect, a log cleared). Lines are cut at "\r\n", which is dropped.
class LineTracker {
 public:
  // The complete lines added since the last call; an unfinished tail waits.
  std::vector<std::string> NewLines(std::string_view text);
  // The unfinished tail, if any, as a last line (at the end of a run).
  std::vector<std::string> Rest(std::string_view text);

 private:
  size_t consumed_ = 0;  // bytes of text already handed out as lines
  std::string head_;     // the first bytes seen, to notice a text that was replaced
};

}  // namespace velarin::frontend
