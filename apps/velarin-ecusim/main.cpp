// velarin-ecusim: a simulated ECU behind a pseudo-terminal. Prints the slave
// path, switches the ignition on and answers until Ctrl-C, SIGTERM or --seconds.
// With --replay the ECU plays a capture back, and what it answers from a guess
// or not at all follows on stdout as it happens.

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/options.h"
#include "frontend/stop_signals.h"
#include "frontend/tools_texts.h"
#include "sim/ecu_scenario.h"
#include "sim/pty_host.h"
#include "sim/replay_ecu.h"

namespace {

constexpr uint32_t kNotesEveryMs = 200;

// Waits for a stop or the end of `limit_ms`, printing the replay's notes meanwhile.
void ServeUntilStopped(velarin::frontend::StopSignals& stop, std::optional<uint32_t> limit_ms,
                       velarin::Replay* replay) {
  if (replay == nullptr) {
    stop.WaitFor(limit_ms);
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    std::optional<uint32_t> slice = kNotesEveryMs;
    if (limit_ms) {
      const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
      if (spent >= *limit_ms) break;
      slice = std::min<uint32_t>(kNotesEveryMs, *limit_ms - static_cast<uint32_t>(spent));
    }
    const bool stopped = stop.WaitFor(slice);
    for (const std::string& note : replay->TakeNotes()) std::cout << note << std::endl;
    if (stopped) break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velarin;
  using namespace velarin::frontend;
  constexpr Program kProgram = Program::kEcuSim;
  const ParseResult parsed = ParseArgs(kProgram, std::vector<std::string>(argv, argv + argc));
  if (std::optional<int> code = ExitBeforeRunning(kProgram, parsed, std::cout, std::cerr)) {
    return *code;
  }
  const Options& o = *parsed.options;
  std::shared_ptr<Replay> replay;
  EcuScenario scenario = DefaultScenario(o.ecu.value_or(kOpeningFamily));
  if (o.replay) {
    // Read whole before the pseudo-terminal exists: a bad capture sends nothing.
    std::string why;
    replay = Replay::Load(*o.replay, &why);
    if (!replay) {
      std::cerr << ProgramName(kProgram) << ": " << tools_texts::kCannotReplay << why << std::endl;
      return kExitDevice;
    }
  } else {
    if (o.ignition_delay_ms) scenario.ignition_delay_ms = *o.ignition_delay_ms;
    if (o.answer_latency_ms) scenario.answer_latency_ms = *o.answer_latency_ms;
    if (o.burst) scenario.burst = *o.burst;
    scenario.echo = !o.no_echo;
  }

  StopSignals stop;  // before the host's thread, so only StopSignals sees the signals
  std::unique_ptr<PtyHost> host =
      replay ? std::make_unique<PtyHost>(replay->Factory()) : std::make_unique<PtyHost>(scenario);
  if (!host->Start() || (o.link && !host->LinkAt(*o.link))) {
    std::cerr << ProgramName(kProgram) << ": " << host->error() << std::endl;
    return kExitDevice;
  }
  std::cout << host->slave_path() << std::endl;
  // The model waits its scenario's delay itself; a replay's wake-up follows the ignition.
  host->IgnitionOn(replay ? o.ignition_delay_ms.value_or(0) : 0);
  ServeUntilStopped(stop, o.seconds_ms, replay.get());
  host->Stop();
  return kExitOk;
}
