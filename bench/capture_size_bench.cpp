// The size of a capture: a 15-minute session of live data per family, on the
// virtual clock with every channel polled and the capture on. "bytes" is the
// file's size, "bytes_per_s" its growth.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "capture/capturing_serial_device.h"
#include "forms/app.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin {
namespace {

constexpr EcuFamily kFamilies[] = {EcuFamily::Ecu15m, EcuFamily::Ecu15Rc, EcuFamily::Ecu16m,
                                   EcuFamily::EcuP8};
constexpr uint32_t kSessionMs = 15 * 60 * 1000;

void BM_CaptureOf15Minutes(benchmark::State& state) {
  const EcuFamily family = kFamilies[state.range(0)];
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("velarin-capture-size-" + std::to_string(getpid()) + ".vcap"))
                               .string();
  for (auto _ : state) {
    VirtualClock clock;
    App app;
    EventLoop loop(app, clock);
    WireMainLoop(loop, app);
    SimulatedLine line(clock, DefaultScenario(family));
    CapturingSerialDevice device(line.device(), [&clock] { return clock.elapsed_total() * 1000; });
    std::string error;
    device.StartCapture(CaptureWriter::Create(path, {}, &error));
    if (!device.capturing()) {
      state.SkipWithError(error.c_str());
      return;
    }
    app.protocol.MSComm1.device = &device;
    LoadMainWindow(app);
    ClickFamily(app, family);
    line.IgnitionOn();
    loop.Post([&app] { ClickConnectSwitch(app); });
    loop.RunUntil([&app] { return app.form2.Check2.value; }, 1000);
    // P8 clears most channels at Connect; the user ticks them back.
    for (auto& box : app.form2.Check1) box.value = true;
    loop.RunFor(kSessionMs);
    state.counters["frames"] = static_cast<double>(app.protocol.live_frames);
    device.StopCapture();
  }
  const auto bytes = static_cast<double>(std::filesystem::file_size(path));
  state.counters["bytes"] = bytes;
  state.counters["bytes_per_s"] = bytes / (kSessionMs / 1000.0);
  std::filesystem::remove(path);
}
BENCHMARK(BM_CaptureOf15Minutes)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace velarin
