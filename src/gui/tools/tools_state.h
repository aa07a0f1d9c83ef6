#pragma once
// The loop's side of the "Tools" menu, Qt-free: it starts and stops the
// capture, runs the adapter check on the loop's thread, moves the replay's
// notes into the main window's log, and says what the entries show.

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/session.h"
#include "gui/tools/tools_view.h"

namespace velarin::gui {

class ToolsState {
 public:
  // Starts a capture into `path`; a file that cannot be created shows as the status line.
  void StartCapture(frontend::Session& session, const std::string& path);
  void StopCapture(frontend::Session& session);
  // Refused, with a line that says so, while connected.
  void CheckAdapter(frontend::Session& session);

  // What the entries show now; the replay's new notes go to the log first.
  ToolsView Take(frontend::Session& session);

 private:
  uint64_t capture_requests_ = 0;
  std::string capture_error_;  // the last start that failed, until the next start
  bool check_running_ = false;
  uint64_t checks_done_ = 0;
  std::vector<std::string> check_lines_;
};

}  // namespace velarin::gui
