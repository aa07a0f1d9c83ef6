#pragma once
// The command-line front end on the real clock and the platform's serial port
// (or the in-process simulator): what `velarin-cli` runs after parsing, and what
// the window program runs when there is no display.

#include <ostream>

#include "frontend/options.h"

namespace velarin::frontend {

// Returns the process exit code. Ctrl-C / SIGTERM stop the run cleanly.
int RunCliMain(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace velarin::frontend
