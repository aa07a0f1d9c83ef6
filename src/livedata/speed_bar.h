#pragma once
// The engine-speed readout: Text1(0), the 120-segment bar Line1 and Label26.

#include <cstdint>

#include "forms/form2.h"

namespace velarin {

// Lights segments 0 to n and then unlights n to 119 (n = rpm / 100 rounded half
// to even), so segments below n end lit; n of 120 or more lights them all.
void DrawSpeedBar(Form2& f, int64_t level);
// Bar, Text1(0) and Label26 for an engine speed (a whole number of rpm).
void ShowEngineSpeed(Form2& f, double rpm);

}  // namespace velarin
