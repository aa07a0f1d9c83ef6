// velarin_soak: a day of use per family on the virtual clock. The main window polls
// live data against the simulated ECU; "DTC" is pressed every 10 minutes, a test
// runs in the test window every hour, and every 3 hours the cable is pulled, put
// back, the ignition cycled and Connect pressed again. Resident memory and the log
// may grow only by the lines the log was given. A long benchmark, not a unit test.
//
// usage: velarin_soak [--hours H] [--family 15m|15Rc|16m|P8]   (default: 24 h, all four)
// Exit status 1 when a day did not hold (no live data at the end, the log lost text,
// or memory grew by more than the log's growth allows, see kHeapSlackKb).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/app.h"
#include "forms/ecu_family.h"
#include "forms/form1.h"
#include "frontend/texts.h"
#include "protocol/families.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"
#include "ui/navigation.h"
#include "ui/test_window.h"

namespace velarin {
namespace {

constexpr uint32_t kMinuteMs = 60'000;
constexpr uint32_t kDtcEveryMin = 10;
constexpr uint32_t kTestEveryMin = 60;
constexpr uint32_t kPullEveryMin = 180;
constexpr uint32_t kIgnitionAfterConnectMs = 1000;
constexpr uint32_t kTestWindowOpenMs = 3000;  // the entry into diagnostic mode is over by then
constexpr uint32_t kTestRunMs = 40'000;       // the longest result wait is 36 s
constexpr uint32_t kPulledMs = 5000;
constexpr size_t kWireRecords = 64;  // the rig's records: nobody reads them here
// The log's text doubles its capacity as it grows; the allocator keeps pages it touched
// once. What a day may add beyond the log's own bytes:
constexpr long kHeapSlackKb = 64;   // heap in use: at most twice the log's growth plus this
constexpr long kRssSlackKb = 2048;  // resident memory: the log's growth plus this

struct Memory {
  long rss_kb = 0;
  long hwm_kb = 0;
  long heap_kb = 0;  // bytes the program holds from malloc, whatever pages they sit on
};

Memory ReadMemory() {
  Memory m;
#ifdef __GLIBC__
  const struct mallinfo2 info = mallinfo2();
  m.heap_kb = static_cast<long>((info.uordblks + info.hblkhd) / 1024);  // small and mmapped
#endif
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) m.rss_kb = std::atol(line.c_str() + 6);
    if (line.rfind("VmHWM:", 0) == 0) m.hwm_kb = std::atol(line.c_str() + 6);
  }
  return m;
}

// One family's day. Prints one line of figures.
bool SoakOneFamily(EcuFamily family, uint32_t hours) {
  const auto wall_start = std::chrono::steady_clock::now();
  VirtualClock clock;
  clock.RecordSleeps(false);
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, DefaultScenario(family));
  line.KeepRecords(kWireRecords);
  app.protocol.MSComm1.device = &line.device();
  LoadMainWindow(app);
  ClickFamily(app, family);

  // Connect as a user does: the switch, then the ignition for the families whose ECU
  // sends its burst then; 15Rc (answered at once) and P8 (read at once) are on before.
  const bool burst = family == EcuFamily::Ecu15m || family == EcuFamily::Ecu16m;
  auto connect = [&] {
    if (!burst) line.IgnitionOn();
    loop.Post([&] { ClickConnectSwitch(app); });
    if (burst) clock.Schedule(kIgnitionAfterConnectMs, [&] { line.IgnitionOn(); });
  };
  connect();
  loop.RunUntil([&] { return app.protocol.live_frames > 0; }, kMinuteMs);

  const Form2& f = app.form2;
  const ProtocolState& p = app.protocol;
  auto pull_and_return = [&] {
    line.Vanish();
    loop.RunFor(kPulledMs);  // a tick notices and ends the connection
    line.Restore();
    line.IgnitionOff();
    connect();
    loop.RunUntil([&] { return p.cal_ask; }, kMinuteMs);
  };
  auto run_test = [&](int button) {
    loop.Post([&] { ClickTestsMenu(app); });
    loop.RunFor(kTestWindowOpenMs);
    loop.Post([&, button] {
      if (button == frontend::texts::kCustomTestButton) SetCustomCode(app, "80");
      ClickTest(app, button);
    });
    loop.RunFor(kTestRunMs);
    loop.Post([&] { ClickBack(app); });
  };
  auto press_dtc = [&] { loop.Post([&] { ClickDtc(app); }); };

  // One of each first, so the figures show what a day adds, not what the first use of
  // each window and procedure allocates once.
  pull_and_return();
  run_test(1);
  press_dtc();
  loop.RunFor(kMinuteMs);

  const Memory before = ReadMemory();
  const size_t log_bytes_before = f.Rtb1.Text().size();
  const size_t log_lines_before = f.Rtb1.LineCount();
  const uint64_t frames_before = p.live_frames;
  const uint64_t virtual_before = clock.elapsed_total();
  std::string log_seen = f.Rtb1.Text().substr(0, 4096);
  int dtcs = 0, tests = 0, pulls = 0;

  for (uint32_t minute = 0; minute < hours * 60; minute += kDtcEveryMin) {
    const uint64_t slot_end = clock.elapsed_total() + uint64_t{kDtcEveryMin} * kMinuteMs;
    if (minute > 0 && minute % kPullEveryMin == 0) {
      ++pulls;
      pull_and_return();
    }
    if (minute > 0 && minute % kTestEveryMin == 0) {
      ++tests;
      run_test(1 + static_cast<int>(minute / kTestEveryMin) % kTestButtonCount);
    }
    ++dtcs;
    press_dtc();
    const uint64_t now = clock.elapsed_total();
    if (slot_end > now) loop.RunFor(static_cast<uint32_t>(slot_end - now));
  }

  const Memory after = ReadMemory();
  const double wall_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  const size_t log_growth = f.Rtb1.Text().size() - log_bytes_before;
  const size_t lines = f.Rtb1.LineCount() - log_lines_before;
  const long rss_growth = after.rss_kb - before.rss_kb;
  const bool log_kept = f.Rtb1.Text().compare(0, log_seen.size(), log_seen) == 0;
  const bool live = p.cal_ask && p.Timer1.enabled && !app.form1.loaded;
  const long log_kb = static_cast<long>(log_growth / 1024);
  const bool memory_ok = after.heap_kb - before.heap_kb <= 2 * log_kb + kHeapSlackKb &&
                         rss_growth <= log_kb + kRssSlackKb;
  std::printf(
      "%-5s %5.1f h virtual %6.1f s wall | frames %8llu | DTC %3d tests %2d pulls %d | "
      "RSS %6ld -> %6ld kB (HWM %6ld) growth %+6ld kB, heap %+6ld kB | log +%zu lines +%zu "
      "bytes (%zu kB) | %s\n",
      std::string(FactsOf(family).caption).c_str(),
      static_cast<double>(clock.elapsed_total() - virtual_before) / 3.6e6, wall_s,
      static_cast<unsigned long long>(p.live_frames - frames_before), dtcs, tests, pulls,
      before.rss_kb, after.rss_kb, after.hwm_kb, rss_growth, after.heap_kb - before.heap_kb, lines,
      log_growth, log_growth / 1024,
      live && log_kept && memory_ok ? "held"
      : !live                       ? "NOT IN LIVE DATA AT THE END"
      : !log_kept                   ? "LOG LOST TEXT"
                                    : "MEMORY GREW PAST THE LOG");
  std::fflush(stdout);
  UnloadMainWindow(app);
  return live && log_kept && memory_ok;
}

}  // namespace
}  // namespace velarin

int main(int argc, char** argv) {
  using velarin::EcuFamily;
  uint32_t hours = 24;
  std::vector<EcuFamily> families;
  for (const velarin::FamilyFacts& facts : velarin::kFamilies) families.push_back(facts.id);
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--hours") == 0) {
      hours = static_cast<uint32_t>(std::atoi(argv[i + 1]));
    } else if (std::strcmp(argv[i], "--family") == 0) {
      families.clear();
      if (std::optional<EcuFamily> f = velarin::FamilyNamed(argv[i + 1])) families.push_back(*f);
    }
  }
  if (hours == 0 || families.empty()) {
    std::fprintf(stderr, "usage: velarin_soak [--hours H] [--family 15m|15Rc|16m|P8]\n");
    return 2;
  }
  bool held = true;
  for (EcuFamily family : families) held = velarin::SoakOneFamily(family, hours) && held;
  return held ? 0 : 1;
}
