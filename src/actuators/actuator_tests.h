#pragma once
// Running one actuator test: send its code, log the first answer, and when that
// is not already the verdict, wait for it in one-second steps while the window
// stays usable. Pg1 shows the seconds waited.

#include <cstdint>
#include <string_view>

#include "forms/app.h"

namespace velarin {

// Sends `code` on the main window's port and reports the outcome in form1's
// log. Yields once before sending; a closed port sends and logs nothing.
void RunTest(App& app, uint8_t code, std::string_view name, int16_t wait_s);

// Waits up to `wait_s` one-second steps for a lone 0xFF ("Test finish") or
// 0xEE ("Test failed"), logging every batch received; "Test unknown" when
// nothing arrived. Each wait keeps its own count, so a test started from inside
// it (the buttons stay enabled) cannot disturb it. Returns false when the
// window went away or is leaving; the wait then ends at once, touching nothing.
bool AwaitTestResult(App& app, int16_t wait_s);

// A click on test button `index` (0 = Command1 ... 8 = Command9): the code of
// the family's group, or the custom code of Text1, which must be one byte.
void TestButtonClick(App& app, int index);

}  // namespace velarin
