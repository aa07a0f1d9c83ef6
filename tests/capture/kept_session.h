#pragma once
// The session every kept capture holds, played the same way when it is made
// and when it is replayed: Connect with the ignition going on at once, the
// wake-up, the identification read, three live-data frames, a DTC read, three
// more frames; then the readouts are taken and the switch is released. Channels
// the connection cleared (P8) are ticked back on, so every family polls all.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "forms/app.h"
#include "forms/ecu_family.h"
#include "livedata/panel.h"
#include "sim/simulated_line.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"
#include "ui/navigation.h"

namespace velarin::testing {

struct KeptSession {
  std::vector<std::string> log;   // the main window's log, line by line
  std::vector<std::string> info;  // the "ECU Info" box
  std::array<std::string, kReadoutCount> readouts;
};

inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string_view::npos; start = end + 2) {
    lines.emplace_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

inline KeptSession RunKeptSession(App& app, EventLoop& loop, SimulatedLine& line,
                                  EcuFamily family) {
  constexpr uint32_t kLimitMs = 20'000;
  LoadMainWindow(app);
  ClickFamily(app, family);
  loop.Post([&] {
    ClickConnectSwitch(app);
    line.IgnitionOn();
  });
  // After the Connect: a click during its yields would be undone by it.
  loop.RunUntil([&] { return app.form2.Check2.value; }, kLimitMs);
  loop.Post([&] {
    for (int i = 0; i < kChannelCount; ++i) {
      if (!app.form2.Check1[i].value) ClickChannel(app, i);
    }
  });
  loop.RunUntil([&] { return app.protocol.live_frames >= 3; }, kLimitMs);
  loop.Post([&] { ClickDtc(app); });
  loop.RunUntil([&] { return app.protocol.live_frames >= 6; }, kLimitMs);
  KeptSession s;
  s.log = SplitLines(app.form2.Rtb1.Text());
  s.info = SplitLines(app.form2.Text4.text);
  for (int i = 0; i < kReadoutCount; ++i) s.readouts[i] = app.form2.Text1[i].text;
  loop.Post([&] { ClickConnectSwitch(app); });
  loop.RunFor(100);
  return s;
}

}  // namespace velarin::testing
