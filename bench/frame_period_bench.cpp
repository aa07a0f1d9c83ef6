// The live-data refresh: how long one full frame (all nine channels) takes per
// family, against the floor the protocol itself sets (the fixed pauses plus the
// echo and answer on the wire). On the virtual clock the figure is exact and
// repeatable; over a pseudo-terminal on the real clock it adds the back end's
// and the sleeps' overhead, which is what a user sees.

#include <benchmark/benchmark.h>

#include <memory>

#include "forms/app.h"
#include "forms/timer_on.h"
#include "livedata/frames.h"
#include "platform/serial_device.h"
#include "sim/pty_host.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin {
namespace {

constexpr EcuFamily kFamilies[] = {EcuFamily::Ecu15m, EcuFamily::Ecu15Rc, EcuFamily::Ecu16m,
                                   EcuFamily::EcuP8};

// Twelve pauses a frame (start, nine channels, two between the codes of a pair).
double PauseFloorMs(EcuFamily family) { return 12.0 * (family == EcuFamily::Ecu16m ? 10 : 8); }

// Echo + answer of each request at 7812 baud: 11 requests, 12 with the 15Rc throttle pair.
double WireFloorMs(EcuFamily family) {
  const int requests = family == EcuFamily::Ecu15Rc ? 12 : 11;
  return requests * 2 * (10.0 * 1000.0 / 7812.5);
}

void ReadFrame(App& app, EcuFamily family) {
  switch (family) {
    case EcuFamily::Ecu15m:
    case EcuFamily::Ecu15Rc:
      ReadLiveFrame(app, kReadLive15m);
      break;
    case EcuFamily::Ecu16m:
      ReadLiveFrame(app, kReadLive16m);
      break;
    case EcuFamily::EcuP8:
      ReadLiveFrame(app, kReadLiveP8);
      break;
  }
}

// Connects as a user would and runs until the first live-data frame has been read.
bool ConnectToLiveData(App& app, EventLoop& loop, EcuFamily family, uint32_t max_ms) {
  LoadMainWindow(app);
  ClickFamily(app, family);
  loop.Post([&app] { ClickConnectSwitch(app); });
  const bool live = loop.RunUntil([&app] { return app.protocol.live_frames > 0; }, max_ms);
  TimerOn(app.protocol.Timer1, app.clock(),
          0);  // from here on the benchmark reads the frames itself
  for (auto& box : app.form2.Check1) box.value = true;
  return live;
}

void BM_FramePeriodVirtualClock(benchmark::State& state) {
  const EcuFamily family = kFamilies[state.range(0)];
  VirtualClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, DefaultScenario(family));
  app.protocol.MSComm1.device = &line.device();
  line.IgnitionOn();
  if (!ConnectToLiveData(app, loop, family, 10000)) {
    state.SkipWithError("no live data from the simulated ECU");
    return;
  }
  uint64_t frames = 0;
  const uint64_t start = clock.elapsed_total();
  for (auto _ : state) {
    ReadFrame(app, family);
    ++frames;
  }
  const double ms = static_cast<double>(clock.elapsed_total() - start) / frames;
  state.counters["frame_ms"] = ms;
  state.counters["floor_ms"] = PauseFloorMs(family) + WireFloorMs(family);
}
BENCHMARK(BM_FramePeriodVirtualClock)->DenseRange(0, 3);

void BM_FramePeriodPty(benchmark::State& state) {
  const EcuFamily family = kFamilies[state.range(0)];
  PtyHost host(DefaultScenario(family));
  if (!host.Start()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  host.IgnitionOn(0);
  SystemClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  std::unique_ptr<SerialDevice> device = MakePlatformSerialDevice();
  app.protocol.MSComm1.device = device.get();
  app.protocol.MSComm1.device_path = host.slave_path();
  if (!ConnectToLiveData(app, loop, family, 10000)) {
    state.SkipWithError("no live data from the simulated ECU");
    return;
  }
  for (auto _ : state) ReadFrame(app, family);
  state.counters["floor_ms"] = PauseFloorMs(family) + WireFloorMs(family);
}
BENCHMARK(BM_FramePeriodPty)->DenseRange(0, 3)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velarin
