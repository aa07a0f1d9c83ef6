#pragma once
// The ECU's identification text (codes 0x17..0x20) and calibration text (codes
// 0x21..0x28), one character per request, and the two switches that skip them.

#include "forms/form2.h"
#include "forms/protocol_state.h"
#include "platform/clock.h"

namespace velarin {

// Runs once per connection, and on the "ecu info" button. Skipped (nothing sent)
// while Check3 is cleared or the port is closed. A complete read adds
// "ecu data    : " + text to Text4; every run logs "Ecu info: " + elapsed + " " +
// the characters received (partial after a 3000 ms time-out) and sets ecuinf.
void ReadEcuInfo(Form2& f, ProtocolState& p, Clock& clock);
// The same for the calibration: Check4, "calibration : ", "Cal: ", cal_ask.
void ReadCalibration(Form2& f, ProtocolState& p, Clock& clock);

// After a click on "Ecu data" / "Calibration": checked marks the step as done.
void Check3_Click(const Form2& f, ProtocolState& p);
void Check4_Click(const Form2& f, ProtocolState& p);

}  // namespace velarin
