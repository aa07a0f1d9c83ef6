#include "livedata/temp_table.h"

namespace velarin {

// Placeholder until the live-data subsystem lands.
void BuildTempTable(Form2&) {}

}  // namespace velarin
