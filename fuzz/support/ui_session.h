#pragma once
// The window fuzzer's world: the program with its event loop on the virtual
// clock, the simulated ECU behind a watched port, and a run of user actions and
// line faults decoded from the fuzzer's bytes. Each step schedules one action
// (posted only if its window is showing at that moment, as a click would be)
// or one fault at a moment of virtual time, lets the loop run, and has the
// checker look at the state.

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

#include "forms/app.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "support/ui_checker.h"
#include "support/watched_device.h"

namespace velarin {
class EventLoop;
}

namespace velarin::fuzz {

class UiSession {
 public:
  explicit UiSession(FuzzedDataProvider& in);
  ~UiSession();

  // Decodes and runs the steps until the input is used up or the main window closed.
  void Run();

 private:
  void Step();
  void ScheduleAction(uint32_t delay_ms);
  void ScheduleFault(uint32_t delay_ms);
  // Posts `act` as the user's click when its window shows at that moment.
  void Click(uint32_t delay_ms, Actor actor, int param, std::string name, bool test_window,
             std::function<void()> act);
  void Settle(uint32_t ms);

  FuzzedDataProvider& in_;
  VirtualClock clock_;
  App app_;
  std::unique_ptr<SimulatedLine> line_;
  std::unique_ptr<WatchedDevice> device_;
  std::unique_ptr<EventLoop> loop_;
  UiChecker checker_;
  bool closed_ = false;
};

}  // namespace velarin::fuzz
