#pragma once
// One run of the command-line front end on a loaded main window: the options are
// set on the controls, Connect is pressed, the polling loop runs on the calling
// thread, and the windows' new log lines, "ECU Info" lines and readouts go out as
// lines as they appear. The clock and the device are the caller's, so the same
// session runs on the real clock over a port and on the virtual clock in tests.

#include <atomic>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "forms/app.h"
#include "frontend/line_text.h"
#include "frontend/observed_clock.h"
#include "frontend/options.h"
#include "ui/event_loop.h"

namespace velarin::frontend {

class Simulation;

struct CliOutput {
  std::ostream* lines = nullptr;  // log:, info:, live:, test-log:, message:
  std::ostream* errors = nullptr;
  std::ostream* csv = nullptr;  // rows, when --csv was given
};

class CliSession {
 public:
  // `clock` must be the clock `loop` runs on; the session installs its hook.
  CliSession(App& app, EventLoop& loop, ObservedClock& clock, const Options& options, CliOutput out,
             Simulation* simulation = nullptr);

  // Connects (the window loaded, its controls set from the options) and runs
  // until done, stopped, out of time, or the device is lost. Returns the exit code.
  int Run();

  // Thread-safe (signal handler thread): Disconnect and leave as soon as possible.
  void RequestStop();
  // Lines from around the window (the replay's notes, a capture that stopped),
  // printed as they are whenever the windows' lines are.
  void SetNotices(std::function<std::vector<std::string>()> take) { notices_ = std::move(take); }

  uint64_t live_reads() const { return live_reads_; }

 private:
  void PressSwitch();
  void AfterTick();
  void OnPause();
  void Flush();
  void FlushRest();
  void PrintLine(std::string_view prefix, std::string_view text);
  void PrintLive();
  bool LinkLost() const;
  int ReportLost();
  bool TimeUp() const;
  bool Stopping() const { return stop_.load() || TimeUp(); }
  bool FramesDone() const;
  bool ActionsDone() const { return next_action_ >= options_.actions.size(); }
  bool HasGoal() const { return options_.frames.has_value() || !options_.actions.empty(); }
  bool NeedsAttention() const;
  void RunNextAction();
  void Finish();

  App& app_;
  EventLoop& loop_;
  ObservedClock& clock_;
  const Options& options_;
  CliOutput out_;
  Simulation* simulation_;
  std::function<std::vector<std::string>()> notices_;

  std::atomic<bool> stop_{false};
  uint32_t started_at_ = 0;
  uint32_t connected_at_ = 0;
  uint64_t frames_seen_ = 0;  // protocol.live_frames at the last look
  uint64_t live_reads_ = 0;   // live-data reads since Connect
  uint64_t losses_at_start_ = 0;
  size_t next_action_ = 0;
  bool close_posted_ = false;  // a stop asked the test window to close

  LineTracker main_log_;
  LineTracker info_box_;
  LineTracker test_log_;
};

}  // namespace velarin::frontend
