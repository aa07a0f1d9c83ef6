#pragma once
// The readout panel's channel selectors Check1(0..8). A click yields to the
// window once, stops the polling while the channel set changes (when the link
// is up), empties the rows of cleared channels and keeps at least the throttle.

#include <vector>

#include "forms/app.h"

namespace velarin {

inline constexpr int kRestartIntervalMs = 50;

// A click on channel selector `index` (its value already changed by the click).
// The index is not used: the handler looks at all nine boxes. The polling is
// not restarted while the test window is open (its yield may have opened it).
void Check1_Click(App& app, int index);

// The user clicks selector i: its value toggles, then Check1_Click runs.
// An index outside 0..8 or a disabled box does nothing.
void ClickChannel(App& app, int index);

// Brings the selectors to `wanted` (element i for channel i; missing elements
// count as cleared) by clicking only the boxes whose state changes: the ones to
// check first, then the ones to clear, so the set never runs empty on the way.
// Wanting nothing means the throttle alone, which is where the panel would end.
void SetChannels(App& app, const std::vector<bool>& wanted);

}  // namespace velarin
