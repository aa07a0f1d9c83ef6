// velarin-ecusim: a simulated ECU behind a pseudo-terminal. Prints the slave
// path, switches the ignition on and answers until Ctrl-C, SIGTERM or --seconds.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "frontend/options.h"
#include "frontend/stop_signals.h"
#include "sim/ecu_scenario.h"
#include "sim/pty_host.h"

int main(int argc, char** argv) {
  using namespace velarin;
  using namespace velarin::frontend;
  constexpr Program kProgram = Program::kEcuSim;
  const ParseResult parsed = ParseArgs(kProgram, std::vector<std::string>(argv, argv + argc));
  if (std::optional<int> code = ExitBeforeRunning(kProgram, parsed, std::cout, std::cerr)) {
    return *code;
  }
  const Options& o = *parsed.options;
  EcuScenario scenario = DefaultScenario(o.ecu.value_or(kOpeningFamily));
  if (o.ignition_delay_ms) scenario.ignition_delay_ms = *o.ignition_delay_ms;
  if (o.burst) scenario.burst = *o.burst;
  scenario.echo = !o.no_echo;

  StopSignals stop;  // before the host's thread, so only StopSignals sees the signals
  PtyHost host(scenario);
  if (!host.Start() || (o.link && !host.LinkAt(*o.link))) {
    std::cerr << ProgramName(kProgram) << ": " << host.error() << std::endl;
    return kExitDevice;
  }
  std::cout << host.slave_path() << std::endl;
  host.IgnitionOn();
  stop.WaitFor(o.seconds_ms);
  host.Stop();
  return kExitOk;
}
