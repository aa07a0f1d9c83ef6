#pragma once
// Starting and stopping the polling timer Timer1.

#include <cstdint>

#include "forms/app.h"

namespace velarin {

// interval >= 1: enable Timer1, then set its interval; the count restarts now.
// interval < 1: set the interval to 0, then disable it.
void TimerOn(App& app, int16_t interval);

}  // namespace velarin
