#pragma once
// Live data from the simulated ECU on the virtual clock, as a chart or a
// recording receives it: the whole program connects, and every live-data read
// hands over its ten readout texts and the time since Connect. Minutes of
// simulated time take well under a second.

#include <unistd.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "forms/app.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin::testing {

using ReadoutRow = std::function<void(int64_t t_ms, const std::array<std::string_view, 10>& texts)>;

inline void RunSimulatedConnection(EcuFamily family, uint32_t ms, const ReadoutRow& on_row) {
  const std::filesystem::path settings = std::filesystem::temp_directory_path() /
                                         ("velarin-simrows-" + std::to_string(getpid()) + ".ini");
  VirtualClock clock;
  App app;
  app.settings_path = settings.string();
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, DefaultScenario(family));
  app.protocol.MSComm1.device = &line.device();
  app.protocol.MSComm1.device_path = "/dev/ttyVIRT0";
  LoadMainWindow(app);
  ClickFamily(app, family);
  ClickConnectSwitch(app);
  line.IgnitionOn();
  const uint32_t connected = clock.NowMs();
  uint64_t seen = app.protocol.live_frames;
  loop.RunUntil(
      [&] {
        if (app.protocol.live_frames != seen) {
          seen = app.protocol.live_frames;
          std::array<std::string_view, 10> texts;
          for (size_t i = 0; i < texts.size(); ++i) texts[i] = app.form2.Text1[i].text;
          on_row(clock.NowMs() - connected, texts);
        }
        return false;
      },
      ms);
  std::filesystem::remove(settings);
}

}  // namespace velarin::testing
