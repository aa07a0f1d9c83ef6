#pragma once
// The test window's handlers yield to the event loop, where a click on "Back",
// a closing main window or a second test may run. These tell a handler whether
// the window it started in is still there to carry on with.

#include <cstdint>

#include "forms/app.h"

namespace velarin {

// True while the test window instance `instance` is loaded and not leaving.
bool TestWindowStillHere(const Form1& form, uint64_t instance);

// Lets queued window events run once; true when the window instance is still
// here afterwards. A handler that gets false stops and touches nothing more.
bool YieldToWindow(App& app, uint64_t instance);

}  // namespace velarin
