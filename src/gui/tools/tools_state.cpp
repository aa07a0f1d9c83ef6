#include "gui/tools/tools_state.h"

#include "frontend/texts.h"
#include "link/exchange.h"

namespace velarin::gui {

void ToolsState::StartCapture(frontend::Session& session, const std::string& path) {
  ++capture_requests_;
  capture_error_.clear();
  (void)session.capture().Start(path, frontend::texts::kGuiName, &capture_error_);
}

void ToolsState::StopCapture(frontend::Session& session) {
  ++capture_requests_;
  session.capture().Stop();
}

void ToolsState::CheckAdapter(frontend::Session& session) {
  check_running_ = true;
  check_lines_ = session.CheckAdapter().lines;
  check_running_ = false;
  ++checks_done_;
}

ToolsView ToolsState::Take(frontend::Session& session) {
  if (frontend::Simulation* simulation = session.simulation()) {
    TraceLog& log = session.app().form2.Rtb1;
    const std::vector<std::string> notes = simulation->TakeReplayNotes();
    for (const std::string& note : notes) AppendLog(log, note);
    if (!notes.empty()) ScrollLogToEnd(log);
  }
  ToolsView view;
  view.capture_requests = capture_requests_;
  view.capturing = session.capture().capturing();
  view.capture_status = capture_error_.empty() ? session.capture().Status() : capture_error_;
  view.check_running = check_running_;
  view.checks_done = checks_done_;
  view.check_lines = check_lines_;
  return view;
}

}  // namespace velarin::gui
