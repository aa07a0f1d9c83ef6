#pragma once
// The test window's life (load, show, "Back", unload) and the user actions on
// it. Each action does what the control itself does and then runs its handler;
// actions on a window that is closed or leaving do nothing.

#include <cstdint>
#include <string>

#include "forms/app.h"

namespace velarin {

// Fresh controls, a new instance, then the diagnostic-mode entry.
void LoadTestWindow(App& app);
// Loads the window when it is not loaded yet, then shows it.
void ShowTestWindow(App& app);
// "Back": leave diagnostic mode, polling again at 20 ms when connected (see
// RestartPolling), main window shown, test window unloaded -- whether or not the
// ECU confirmed the exit.
void BackFromTestWindow(App& app);
// Program end: leaves diagnostic mode and unloads, without restarting anything.
void CloseTestWindowForExit(App& app);

// User actions.
void ClickTest(App& app, int k);  // k = 1..9: Command1..Command9
void SetCustomCode(App& app, const std::string& text);
// "On" / "Off": nothing at all when that option is already selected.
void ClickCoOn(App& app);
void ClickCoOff(App& app);
void MoveSlider(App& app, int32_t position);
void SetTrimmerText(App& app, const std::string& text);
void ClickTrimmerOk(App& app);
// "Back". During a result wait the waits end first; the window leaves once the
// last of them has returned.
void ClickBack(App& app);
// The title-bar close button: the same as "Back".
void CloseTestWindow(App& app);

}  // namespace velarin
