#include "connection/restart_polling.h"

#include "connection/connect_switch.h"
#include "forms/timer_on.h"

namespace velarin {

void RestartPolling(Form2& f, ProtocolState& p, Clock& clock, int16_t interval) {
  if (EndIfLinkLost(f, p, clock)) return;  // stopped the timer itself
  const bool connected = f.Check2.value && p.MSComm1.PortOpen();
  TimerOn(p.Timer1, clock, connected ? interval : int16_t{0});
}

}  // namespace velarin
