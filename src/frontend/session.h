#pragma once
// A running program on the real clock, as velarin and velarin-cli build it: the
// main window's state and its event loop, the clock observed at every pause
// (so a front end sees each log line as it is written), the platform's serial
// port, and with --simulate a simulated ECU on a pseudo-terminal.

#include <memory>
#include <optional>
#include <string>

#include "forms/app.h"
#include "frontend/adapter_check_run.h"
#include "frontend/observed_clock.h"
#include "frontend/options.h"
#include "frontend/port_capture.h"
#include "frontend/simulation.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "report/session_journal.h"
#include "ui/event_loop.h"

namespace velarin::frontend {

// The main window's controls as the command line sets them, as a user would:
// the family, the "Com" box, the device, "Ecu data" and "Calibration".
void ApplyWindowOptions(App& app, const Options& options);

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The settings file (--settings, else the one beside the program), the port's
  // device and the loop's tick, the main window loaded, then ApplyWindowOptions.
  void Load(const Options& options);
  // --simulate: an ECU of the family now selected behind a pseudo-terminal the
  // port points at; with --replay the capture played back, its family selected
  // unless --ecu chose one. False, with *error, when it cannot start or the
  // capture cannot be read (then nothing was sent anywhere).
  bool StartSimulator(std::string* error);
  // The "Connect"/"Disconnect" switch, with the simulated ignition around it.
  void PressConnectSwitch();
  // The adapter check on the port, on the calling (the loop's) thread.
  AdapterCheckRun CheckAdapter();

  App& app() { return app_; }
  EventLoop& loop() { return loop_; }
  ObservedClock& clock() { return clock_; }
  // The record of the session's steps, for the service report (the loop's thread).
  report::SessionJournal& journal() { return journal_; }
  // The simulated ECU, or nullptr without --simulate.
  Simulation* simulation() { return simulating_ ? &simulation_ : nullptr; }
  // The capture in front of the port (--capture, the window's menu).
  PortCapture& capture() { return capture_; }

 private:
  SystemClock system_clock_;
  ObservedClock clock_;
  std::unique_ptr<SerialDevice> device_;
  report::SessionJournal journal_;
  App app_;
  EventLoop loop_;
  Simulation simulation_;
  bool simulating_ = false;
  std::optional<std::string> replay_path_;
  bool family_given_ = false;
  // Last: gone first, while the devices behind it still stand.
  PortCapture capture_;
};

}  // namespace velarin::frontend
