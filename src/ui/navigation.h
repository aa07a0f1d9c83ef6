#pragma once
// The main window's menu and buttons that hand the link around: "Tests" opens
// the test window, "DTC" reads the fault report, the donation button opens its
// page, and closing the main window ends the program cleanly.

#include "forms/app.h"

namespace velarin {

inline constexpr uint32_t kTestsMenuPauseMs = 100;  // after stopping the polling

// Handlers.
// Stops the polling, pauses, hides the main window and shows the test window,
// whose load takes the ECU into diagnostic mode.
void test_Click(App& app);
void Command11_Click(App& app);  // "DTC": the fault report
void Command8_Click(App& app);   // opens captions::kDonationUrl, never a shell line
// Closes the test window (leaving diagnostic mode), stops the polling, closes
// the port. Safe to call from inside a result wait and more than once.
void Form2_Unload(App& app);

// User actions: a disabled control does nothing.
void ClickTestsMenu(App& app);
// Ignored while the test window is open: it owns the link then.
void ClickDtc(App& app);
void ClickDonation(App& app);
void UnloadMainWindow(App& app);

}  // namespace velarin
