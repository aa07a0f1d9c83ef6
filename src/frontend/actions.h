#pragma once
// The CLI's actions as the clicks a user would make, one step at a time.

#include <functional>
#include <vector>

#include "forms/app.h"
#include "frontend/options.h"

namespace velarin::frontend {

using ActionStep = std::function<void(App&)>;

// --dtc: "DTC". --test: "Tests", [the custom code typed], the test button (returns
// with its verdict), "Back". --trimmer: "Tests", "On", Text2 typed, "Ok", "Off",
// and "Back" should the ECU not confirm "Off" (which otherwise leaves by itself).
std::vector<ActionStep> StepsFor(const CliAction& action);

}  // namespace velarin::frontend
