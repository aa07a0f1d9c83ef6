#pragma once
// The polling timer's one setter: every Part that stops or restarts the polling
// goes through it.

#include <cstdint>

#include "forms/controls.h"
#include "platform/clock.h"

namespace velarin {

// interval >= 1: enable Timer1, then set its interval; the count restarts now.
// interval < 1: set the interval to 0, then disable it.
void TimerOn(Timer& Timer1, Clock& clock, int16_t interval);

}  // namespace velarin
