#pragma once
// The adapter check as the programs run it: on the main window's port (the
// device named by --device or the "Com" box), on the loop's thread between its
// events, and never while a connection holds the port.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "adaptercheck/adapter_check.h"
#include "forms/app.h"

namespace velarin::frontend {

struct AdapterCheckRun {
  bool refused = false;  // a connection holds the port: nothing was sent
  AdapterCheckResult result;
  std::vector<std::string> lines;  // as the user reads them
};

// `now_us` times the echoes (MonotonicMicros; empty: the clock's milliseconds).
AdapterCheckRun CheckAdapterOnPort(App& app, Clock& clock, std::function<uint64_t()> now_us);

// velarin-cli's exit code for a check: 0 fit (warnings or not), 1 the port
// could not be opened, 3 not fit or stopped (an ECU answered).
int AdapterCheckExitCode(const AdapterCheckRun& run);

}  // namespace velarin::frontend
