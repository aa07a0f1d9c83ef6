#pragma once
// What the status bar says about the port, and the end of a connection whose
// adapter went away (pulled cable).

#include <string>

#include "forms/app.h"

namespace velarin {

// The device the port opens: the --device path, or the one its number names;
// empty when neither gives one.
std::string PortPathInUse(const LinkPort& port);

// After an open attempt: the device in use, or why it could not be opened.
void ShowOpenOutcome(Form2& f);
// After a baud switch: the adapter's warning, when it left one.
void ShowRateWarning(Form2& f);

// True while the window shows a connection (the switch reads "Disconnect").
bool ShowsConnection(const Form2& f);

// When the adapter vanished under a shown connection: ends it as Disconnect does
// (timer stopped, readouts and flags reset, lamp red, switch released and reading
// "Connect"), closes the device so it can be opened again, counts the loss in
// form2.link_losses with the OS reason, says why in the status bar and returns true.
bool EndIfLinkLost(App& app);

}  // namespace velarin
