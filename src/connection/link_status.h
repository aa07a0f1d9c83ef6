#pragma once
// What the status bar says about the port: the device in use, why it could not
// be opened, an adapter that runs at the wrong rate, a link that was lost.

#include <string>

#include "forms/form2.h"
#include "forms/link_port.h"

namespace velarin {

// The device the port opens: the --device path, or the one its number names;
// empty when neither gives one.
std::string PortPathInUse(const LinkPort& port);

// After an open attempt: the device in use, or why it could not be opened.
void ShowOpenOutcome(Form2& f, const LinkPort& port);
// After a baud switch: the adapter's warning, when it left one.
void ShowRateWarning(Form2& f, const LinkPort& port);
// After a lost link: "Connection lost: <path>: <reason>".
void ShowLinkLost(Form2& f, const std::string& path, const std::string& reason);

}  // namespace velarin
