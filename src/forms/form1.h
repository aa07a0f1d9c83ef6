#pragma once
// The test window Form1: the controls it draws (diagnostic mode, actuator tests,
// CO trimmer), its log, and the bookkeeping of its waits.

#include <array>
#include <cstdint>
#include <string>

#include "forms/controls.h"
#include "forms/trace_log.h"

namespace velarin {

inline constexpr int kTestButtonCount = 9;  // Command1..Command9

// Everything the test window draws: copied whole into each snapshot the view paints.
struct Form1Controls {
  std::string caption;
  bool visible = false;

  std::array<Button, kTestButtonCount> Command;  // Command[0] is Command1
  Button Command10;                              // "Ok"
  TextBox Text1;                                 // custom test code, hex
  TextBox Text2;                                 // trimmer as byte value
  ProgressBar Pg1;
  Slider Slider1;
  Label Frame1;          // CO regulation frame
  OptionButton Option1;  // "On"
  OptionButton Option2;  // "Off"
  MenuItem back;         // "Back"
};

struct Form1 : Form1Controls {
  Form1();

  bool loaded = false;
  TraceLog Rtb1;

  // How many result waits are running (a second test button may start one inside another).
  int result_waits = 0;
  // Bumped at every load, so a wait started in an earlier instance knows it outlived its window.
  uint64_t instance = 0;
  // "Back" (or a confirmed CO exit) arrived while a result wait was running: the waits end
  // first, and the window leaves once the last of them has returned.
  bool leave_requested = false;
};

}  // namespace velarin
