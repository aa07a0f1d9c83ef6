#pragma once
// What the "Tools" menu's entries show, taken on the loop's thread with each
// snapshot: the capture and the adapter check as they stand.

#include <cstdint>
#include <string>
#include <vector>

namespace velarin::gui {

struct ToolsView {
  // Capture requests the loop has carried out: the menu shows `capturing` once
  // it has carried out all the user made.
  uint64_t capture_requests = 0;
  bool capturing = false;
  std::string capture_status;  // the status-bar line; "" before any capture

  bool check_running = false;
  uint64_t checks_done = 0;  // grows when a check's lines are in
  std::vector<std::string> check_lines;
};

}  // namespace velarin::gui
