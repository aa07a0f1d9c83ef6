#pragma once
// Restarting the polling after a one-shot procedure that stopped it to use the
// link (the test window's "Back", the fault read).

#include <cstdint>

#include "forms/form2.h"
#include "forms/protocol_state.h"
#include "platform/clock.h"

namespace velarin {

// Starts Timer1 with `interval` only over a connection: the switch Check2 down
// and the port open. Otherwise the timer stays stopped -- a closed port would
// only log "init = false => call initial " at every tick. A device that went
// away meanwhile ends the connection here, as the next tick would have.
void RestartPolling(Form2& f, ProtocolState& p, Clock& clock, int16_t interval);

}  // namespace velarin
