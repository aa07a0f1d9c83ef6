#pragma once
// Taking the ECU into its diagnostic mode when the test window loads, and out
// of it again when the window leaves. Both use the main window's port and
// write to the test window's log; neither yields to the event loop.

#include <cstdint>
#include <vector>

#include "forms/app.h"
#include "forms/link_port.h"
#include "forms/trace_log.h"
#include "platform/clock.h"

namespace velarin {

// The entry answer the ECU gives when it enters: the echo 0xAA, then 0xFF or
// 0xAA, and nothing else ("AAFF" or "AAAA").
bool DiagnosticEntryConfirmed(const std::vector<uint8_t>& answer);

// Sleeps 500 ms; on an open port sends 0xAA and waits up to 5000 ms for the
// two-byte answer. Confirmed: logs "Enter in diagnostic mode OK". Otherwise
// (port closed, time-out, any other answer) sleeps 500 ms and shows the
// message box "diagnostic mode failed". `log` is the test window's. Returns
// whether it was confirmed.
bool EnterDiagnosticMode(LinkPort& port, Clock& clock, TraceLog& log, Services& window);

// On an open port sends 0xFF and waits up to 3000 ms; "FFFF" logs
// "Exit diagnostic mode OK". Returns whether the exit was confirmed.
bool ExitDiagnosticMode(LinkPort& port, Clock& clock, TraceLog& log);

}  // namespace velarin
