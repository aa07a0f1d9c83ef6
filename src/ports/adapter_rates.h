#pragma once
// Which adapters cannot run 7812 baud. Silicon Labs' CP2101, CP2102 and CP2103
// run 9600 when asked for 7812, while CP2104 and CP2105 run 7812.5; most of them
// share one USB id (10C4:EA60), so only a product string naming the chip tells
// them apart. A CP210x whose string names no known chip (a vendor's own string,
// CP2102N, CP2108) is marked "may be unable": the user learns it before
// Connect, and the rate read back after the switch has the last word.

#include "ports/port_info.h"

namespace velarin::ports {

// Sets port.rate_7812 and port.rate_note from its USB id, driver and product string.
void ClassifyRate7812(PortInfo& port);

}  // namespace velarin::ports
