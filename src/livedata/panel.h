#pragma once
// The readout panel's channel selectors and phase switches.

#include "forms/app.h"

namespace velarin {

// A click on channel selector `index` (its value already changed by the click).
void Check1_Click(App& app, int index);

}  // namespace velarin
