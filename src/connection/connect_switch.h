#pragma once
// The connection switch Check2 and the polling tick of Timer1: Connect opens the
// port and starts the polling at 50 ms, every tick runs the next step of the
// connection (wake-up, information, calibration, live data), Disconnect stops all.

#include <cstdint>

#include "forms/app.h"

namespace velarin {

inline constexpr int16_t kPollIntervalMs = 50;

// After a click on the switch (its value already toggled): Connect when it is
// pressed, then Disconnect when it is released -- two separate tests.
void Check2_Click(App& app);

// Stores the settings, opens the port at 1200 baud and logs "1200bds" (P8: 7812
// at once, the link counts as up, channels other than throttle and battery
// cleared). Opened: lamp green, "Disconnect", "Wait for ignition..", timer 50 ms.
// Not opened: the switch stays pressed reading "Connect", the timer stays off.
void Connect(App& app);
// Stops the timer, closes the port (lamp red, "Connect"), empties Text4 and the
// readouts, resets the flags and the status line, disables "Tests" and "DTC".
void Disconnect(Form2& f, ProtocolState& p, Clock& clock);

// The Timer1 handler: pause, then the wake-up while init is false, then the
// information read, the calibration read and one live-data frame, each step
// tested anew so a step that completes lets the next run in the same tick.
void Timer1_Timer(App& app);

// When the adapter vanished under a shown connection: ends it as Disconnect does
// (timer stopped, readouts and flags reset, lamp red, switch released and reading
// "Connect"), closes the device so it can be opened again, counts the loss in
// p.link_losses with the OS reason, says why in the status bar and returns true.
bool EndIfLinkLost(Form2& f, ProtocolState& p, Clock& clock);

}  // namespace velarin
