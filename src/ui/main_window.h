#pragma once
// The main window's load and the user actions a front end triggers on it. Each
// action does what the control itself does (toggle, select, take the text) and
// then runs the control's handler, on the loop's thread.

#include <string_view>

#include "forms/app.h"
#include "forms/ecu_family.h"

namespace velarin {

class EventLoop;

// Window load: flags and channel state reset, the P8 temperature table built,
// then the port number and the family restored from the settings file.
void LoadMainWindow(App& app);

// The "Connect"/"Disconnect" switch: toggles Check2, then Connect or Disconnect.
void ClickConnectSwitch(App& app);
// Typing into the "Com" box.
void SetComText(App& app, std::string_view text);
// Choosing a family in the "ECU Type" frame.
void ClickFamily(App& app, EcuFamily family);
// "Ecu data" / "Calibration": toggle, then the handler.
void ClickCheck3(App& app);
void ClickCheck4(App& app);
// "ecu info" (Command6) / "calibration" (Command7): the read, once.
void ClickEcuInfoButton(App& app);
void ClickCalibrationButton(App& app);

// The Timer1 handler.
void MainTick(App& app);

// Makes `loop` run MainTick on every Timer1 tick of `app`.
void WireMainLoop(EventLoop& loop, App& app);

}  // namespace velarin
