#pragma once
// The protocol side of the window program, Qt-free: the App and its EventLoop on
// a thread of their own with the system clock. The window posts user actions in;
// after every event and tick (and every 40 ms of a long procedure) the loop
// publishes a snapshot and calls `notify` so the window can fetch it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "forms/app.h"
#include "frontend/observed_clock.h"
#include "frontend/simulation.h"
#include "gui/snapshot.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "ui/event_loop.h"

namespace velarin::gui {

struct GuiLoopOptions {
  std::string settings_path;
  std::string device_path;  // --device; empty: from the "Com" box
  std::string com;          // --com; empty: from the settings file
  bool simulate = false;
  std::optional<EcuFamily> simulate_family;
  std::string decimal_separator;  // of the readouts, from the user's locale; empty: unchanged
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

  std::optional<Snapshot> TakeSnapshot() { return channel_.Take(); }

 private:
  void Publish();

  GuiLoopOptions options_;
  Hooks hooks_;
  SystemClock system_clock_;
  cli::ObservedClock clock_;
  std::unique_ptr<SerialDevice> device_;
  App app_;
  EventLoop loop_;
  cli::Simulation simulation_;
  SnapshotTaker taker_;
  SnapshotChannel channel_;
  uint32_t last_publish_ = 0;
  std::thread thread_;
  bool running_ = false;
};

}  // namespace velarin::gui
