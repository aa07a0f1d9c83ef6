#include "livedata/panel.h"

namespace velarin {

// Placeholder until the live-data subsystem lands.
void Check1_Click(App&, int) {}

}  // namespace velarin
