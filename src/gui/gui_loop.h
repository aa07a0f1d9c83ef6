#pragma once
// The protocol side of the window program, Qt-free: the running session (App,
// event loop, real clock, device or simulator) on a thread of its own. The
// window posts user actions in; after every event and tick (and every 40 ms of a
// long procedure) the loop publishes a snapshot and calls `notify` so the window
// can fetch it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "forms/app.h"
#include "frontend/options.h"
#include "frontend/session.h"
#include "gui/snapshot.h"
#include "gui/tools/tools_state.h"

namespace velarin::gui {

// The command line's options, and the decimal separator of the readouts (from
// the user's locale; empty: unchanged).
struct GuiLoopOptions : frontend::Options {
  std::string decimal_separator;
};

class GuiLoop {
 public:
  // Callbacks run on the loop's thread; they must only hand work to the GUI thread.
  struct Hooks {
    std::function<void()> notify;  // a snapshot is waiting
    std::function<void(const std::string&)> message_box;
    std::function<void(const std::string&)> open_url;
  };

  GuiLoop(GuiLoopOptions options, Hooks hooks);
  ~GuiLoop();  // Stop()

  // Loads the main window, starts the simulator if asked, publishes the first
  // snapshot, then starts the thread. False with *error when the simulator fails.
  bool Start(std::string* error);
  // Unloads the main window on the loop's thread (test window closed, polling
  // stopped, port closed), then ends the thread. Idempotent.
  void Stop();

  // Thread-safe: runs `action` on the loop's thread, between ticks or in a yield.
  void Post(std::function<void(App&)> action);
  // The Connect/Disconnect switch, with the simulator's ignition around it.
  void PostConnectSwitch();
  // Writes the service report of this session to `path` on the loop's thread; the
  // status bar says where, a message box says why not.
  void PostServiceReport(std::string path);
  // Thread-safe: a "Tools" menu action, run on the loop's thread.
  void PostTool(std::function<void(ToolsState&, frontend::Session&)> action);

  std::optional<Snapshot> TakeSnapshot() { return channel_.Take(); }
  // The settings file the session uses (set by Start).
  const std::string& settings_path() const { return settings_path_; }

 private:
  void Publish();

  GuiLoopOptions options_;
  Hooks hooks_;
  frontend::Session session_;
  SnapshotTaker taker_;
  ToolsState tools_;
  SnapshotChannel channel_;
  uint32_t last_publish_ = 0;
  std::string settings_path_;
  std::thread thread_;
  bool running_ = false;
};

}  // namespace velarin::gui
