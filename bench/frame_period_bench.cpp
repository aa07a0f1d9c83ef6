// The live-data refresh as the user sees it: the time from one live-data read of
// the polling loop to the next (the tick's pause plus the frame), per family,
// against the floor the protocol itself sets: the tick's pause, the frame's fixed
// pauses, and for every request the echo and the answer on the wire, rounded up
// to the 3 ms poll step of the wait that takes them.
//
// BM_FramePeriodEcusim runs the ECU in another process (velarin-ecusim on a
// pseudo-terminal, pacing its bytes at the wire rate) and the program on the real
// clock, as a user runs it. The simulated ECU answers 1 ms after the echo unless
// told otherwise: that lands each answer just past the first 3 ms poll and costs
// one more poll step per request (11 x 3 ms for 15m), so the benchmark runs it both
// ways; latency 0 is an ECU answering at the wire rate. BM_FramePeriodVirtualClock
// is the same loop on the virtual clock: exact, repeatable figures.

#include <benchmark/benchmark.h>
#include <signal.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "forms/app.h"
#include "forms/captions.h"
#include "link/exchange.h"
#include "link/link_port.h"
#include "link/numbers.h"
#include "livedata/channels.h"
#include "livedata/panel.h"
#include "platform/serial_device.h"
#include "protocol/families.h"
#include "protocol/frame_profile.h"
#include "protocol/wire_timing.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"
#include "ui/navigation.h"

namespace velarin {
namespace {

constexpr int kWarmUpFrames = 3;
constexpr int kMeasuredFrames = 30;
constexpr uint32_t kConnectLimitMs = 20000;
constexpr uint32_t kIgnitionAfterOpenMs = 1500;  // the burst must find the port open

bool SendsBurst(EcuFamily f) { return f == EcuFamily::Ecu15m || f == EcuFamily::Ecu16m; }

// The floor of one polling period with every channel checked, in ms.
double FloorMs(EcuFamily family) {
  const double tick_pause = NumberFromText(captions::kPauseDefault);
  const double pause = family == EcuFamily::Ecu16m
                           ? NumberFromText(captions::kInterByteDelayDefault)
                           : static_cast<double>(kFixedPauseMs);
  // Echo and answer on the wire, then the wait sees them at its next poll.
  const double wire_ms = 2.0 * static_cast<double>(ByteTimeUs(kKLineBaud)) / 1000.0;
  const double step = kPoll3.before_check[0];
  const double wait = std::ceil(wire_ms / step) * step;
  int pauses = 1;  // the frame's start
  int waits = 0;
  for (const ChannelRequest& r : kChannelRequests) {
    ++pauses;
    ++waits;
    if (r.kind == ExchangeKind::kTwoCodes) ++pauses, ++waits;  // the second code, after a pause
    if (r.kind == ExchangeKind::kThrottle && family == EcuFamily::Ecu15Rc) ++waits;
  }
  return tick_pause + pauses * pause + waits * wait;
}

// Connects as a user does and polls until the first live-data reads are in.
bool ConnectToLiveData(App& app, EventLoop& loop, EcuFamily family) {
  LoadMainWindow(app);
  ClickFamily(app, family);
  loop.Post([&app] { ClickConnectSwitch(app); });
  const auto frames = [&app](uint64_t n) {
    return [&app, n] { return app.protocol.live_frames >= n; };
  };
  if (!loop.RunUntil(frames(1), kConnectLimitMs)) return false;
  // P8's Connect clears all selectors but two: ticked back, as the floor counts all nine.
  loop.Post([&app] { SetChannels(app, std::vector<bool>(kChannelCount, true)); });
  return loop.RunUntil(frames(1 + kWarmUpFrames), kConnectLimitMs);
}

// Runs the loop to the next live-data read; returns the clock's ms since the last one.
uint32_t NextPeriod(App& app, EventLoop& loop, Clock& clock, uint32_t* last_read_at) {
  const uint64_t frames = app.protocol.live_frames;
  loop.RunUntil([&] { return app.protocol.live_frames > frames; }, kConnectLimitMs);
  const uint32_t now = clock.NowMs();
  const uint32_t period = now - *last_read_at;
  *last_read_at = now;
  return period;
}

void Report(benchmark::State& state, EcuFamily family, double total_ms, int periods) {
  const double period = total_ms / periods;
  state.counters["period_ms"] = period;
  state.counters["floor_ms"] = FloorMs(family);
  state.counters["ratio"] = period / FloorMs(family);
}

void BM_FramePeriodVirtualClock(benchmark::State& state) {
  const EcuFamily family = kFamilies[state.range(0)].id;
  EcuScenario scenario = DefaultScenario(family);
  scenario.answer_latency_ms = static_cast<uint32_t>(state.range(1));
  VirtualClock clock;
  clock.RecordSleeps(false);
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, scenario);
  line.KeepRecords(64);
  app.protocol.MSComm1.device = &line.device();
  // The ignition as a user switches it: after Connect when the ECU sends a burst.
  if (SendsBurst(family)) {
    clock.Schedule(kIgnitionAfterOpenMs, [&line] { line.IgnitionOn(); });
  } else {
    line.IgnitionOn();
  }
  if (!ConnectToLiveData(app, loop, family)) {
    state.SkipWithError("no live data from the simulated ECU");
    return;
  }
  uint32_t last = clock.NowMs();
  double total = 0;
  int periods = 0;
  for (auto _ : state) {
    total += NextPeriod(app, loop, clock, &last);
    ++periods;
  }
  Report(state, family, total, periods);
}
BENCHMARK(BM_FramePeriodVirtualClock)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 0}})
    ->ArgNames({"family", "latency_ms"});

void BM_FramePeriodEcusim(benchmark::State& state) {
  const EcuFamily family = kFamilies[state.range(0)].id;
  testing::ChildProcess ecu;
  const std::vector<std::string> argv = {
      VELARIN_ECUSIM_PATH,
      "--ecu",
      std::string(kFamilies[state.range(0)].caption),
      "--ignition-delay",
      std::to_string(SendsBurst(family) ? kIgnitionAfterOpenMs : 0),
      "--answer-latency",
      std::to_string(state.range(1))};
  if (!ecu.Start(argv) ||
      !ecu.WaitForOutput([](const std::string& out) { return out.find('\n') != out.npos; }, 5000)) {
    state.SkipWithError("velarin-ecusim did not start");
    return;
  }
  SystemClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  std::unique_ptr<SerialDevice> device = MakePlatformSerialDevice();
  app.protocol.MSComm1.device = device.get();
  app.protocol.MSComm1.device_path = ecu.out.substr(0, ecu.out.find('\n'));
  if (!ConnectToLiveData(app, loop, family)) {
    state.SkipWithError("no live data from velarin-ecusim");
    return;
  }
  uint32_t last = clock.NowMs();
  double total = 0;
  int periods = 0;
  for (auto _ : state) {
    const uint32_t period = NextPeriod(app, loop, clock, &last);
    state.SetIterationTime(period / 1000.0);
    total += period;
    ++periods;
  }
  Report(state, family, total, periods);
  UnloadMainWindow(app);
  ecu.Signal(SIGTERM);
  ecu.Wait(5000);
}
BENCHMARK(BM_FramePeriodEcusim)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 0}})
    ->ArgNames({"family", "latency_ms"})
    ->Iterations(kMeasuredFrames)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velarin
