#pragma once
// The P8 temperature table: raw byte -> degrees C, built when the main window loads.
// A falling piecewise linear curve of 16-step segments from 125 down to -55.

#include <array>
#include <cstdint>
#include <optional>

#include "forms/protocol_state.h"

namespace velarin {

// Entries 0..240 by repeated subtraction; 241..256 stay unset.
TempTableEntries TempTableValues();
void BuildTempTable(ProtocolState& p);
// The temperature of raw byte x: its entry; an unset entry (bytes 241..255)
// continues the -55 plateau. A table that was never built is read as if it had been.
double TemperatureFromTable(const TempTableEntries& table, uint8_t x);

}  // namespace velarin
