#pragma once
// An App whose main window's port is open on a simulated K-line at 7812 baud,
// with the ECU of the scenario's family awake, as the polling loop leaves the
// link before the "DTC" button or the "Tests" menu is used.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "forms/app.h"
#include "link/exchange.h"
#include "link/link_port.h"
#include "protocol/kline_codes.h"
#include "sim/simulated_line.h"
#include "support/sim_rig.h"
#include "ui/test_window.h"

namespace velarin::testing {

using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

struct AwakeLink : SimRig {
  using SimRig::SimRig;

  // Opens the port, wakes the ECU and switches to 7812; then clears what the
  // wake-up left behind (received bytes, recorded sleeps, the sent bytes mark).
  void BringUp() {
    LinkPort& port = app.protocol.MSComm1;
    OpenLinkPort(port, 1);
    line.IgnitionOn();
    const EcuFamily family = line.scenario().family;
    if (family != EcuFamily::EcuP8) {
      clock().Advance(100);  // the burst (15m, 16m) is over by then
      FlushInput(port);
      for (uint8_t b : kline::kWakeAnswer) {
        SendByte(port, b);
        clock().Advance(20);
      }
    }
    SetBaudRate(port, 7812);
    app.form2.Check2.value = true;  // the connection switch is down
    clock().Advance(10);
    FlushInput(port);
    clock().ClearSleeps();
    sent_mark = line.SentByProgram().size();
  }

  // Opens the test window (entering diagnostic mode) and forgets what that
  // left behind: its log, the sleeps and the bytes sent so far.
  void OpenTestWindow() {
    ShowTestWindow(app);
    app.form1.Rtb1.Clear();
    clock().ClearSleeps();
    sent_mark = line.SentByProgram().size();
  }

  // The bytes the program sent since BringUp (or OpenTestWindow).
  std::vector<uint8_t> Sent() const {
    const std::vector<uint8_t> all = line.SentByProgram();
    return std::vector<uint8_t>(all.begin() + static_cast<std::ptrdiff_t>(sent_mark), all.end());
  }

  size_t sent_mark = 0;
};

// The lines of a window's log, without their "\r\n".
inline std::vector<std::string> LogLines(const TraceLog& log) {
  std::vector<std::string> lines;
  const std::string& text = log.Text();
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

}  // namespace velarin::testing
