#pragma once
// The invariants of the window fuzzer, as plain code. The session tells the
// checker which handler runs (a user action or the polling tick; a handler that
// yields may run others inside it) and shows it every byte written and every
// wait; after every step it checks the state. The rules:
// - a byte goes out only when the handler running may send it in the state the
//   windows were in when it began: the tick its wake-up, identification,
//   calibration and live-data codes; "DTC" its three requests; "Tests" 0xAA;
//   a test button its own code; "On" 0x8D and "Off" 0xFF only when they change
//   the selected option; "Ok" the trimmer byte typed (0..254); "Back" and the
//   window's closing 0xFF -- nothing else, and nothing from any other action;
// - no wait lasts longer than its time-out plus 50 ms of virtual time;
// - the polling runs only over a connection and never while the test window
//   is open; the logs only grow; readouts stay short.

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "forms/app.h"
#include "forms/ecu_family.h"
#include "support/watched_device.h"

namespace velarin::fuzz {

enum class Actor {
  kTick,
  kConnectSwitch,
  kComText,
  kFamily,
  kChannel,
  kCheck3,
  kCheck4,
  kEcuInfo,
  kCalibration,
  kDtc,
  kTestsMenu,
  kTest,
  kCustomCode,
  kCoOn,
  kCoOff,
  kSlider,
  kTrimmerText,
  kTrimmerOk,
  kBack,
  kCloseTest,
  kCloseMain,
};

class UiChecker {
 public:
  explicit UiChecker(App& app) : app_(app) {}

  // A handler starts (`param`: the test button 1..9, the family index) / ends.
  void Begin(Actor actor, int param, const std::string& name);
  void End();
  // A note for the trail of the failure messages (line faults, steps).
  void Note(const std::string& what);

  void OnWrite(uint8_t byte);
  void OnWait(const WaitSpan& wait);
  // After every step, with no handler running.
  void AfterStep();
  // The last steps, one a line.
  std::string TrailText() const;

 private:
  struct Running {
    Actor actor;
    int param;
    std::string name;
    // The state when it began.
    bool init, ecuinf, cal_ask;
    std::array<bool, 4> families{};  // the tick: every family selected while it ran
    bool co_on_selected, co_off_selected;
    std::optional<uint8_t> test_code;  // a test button: the code it may send
    int sent = 0;                      // bytes sent by this handler itself
    bool pending_exit_used = false;
  };

  bool MaySend(Running& r, uint8_t byte) const;
  int32_t WaitLimitMs(const Running& r, const WaitSpan& wait) const;
  [[noreturn]] void Fail(const std::string& what) const;

  App& app_;
  std::vector<Running> running_;
  std::deque<std::string> trail_;
  std::string main_log_;
  std::string test_log_;
  uint64_t test_instance_ = 0;
};

}  // namespace velarin::fuzz
