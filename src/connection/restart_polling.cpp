#include "connection/restart_polling.h"

#include "connection/link_status.h"
#include "connection/timer_on.h"

namespace velarin {

void RestartPolling(App& app, int16_t interval) {
  if (EndIfLinkLost(app)) return;  // stopped the timer itself
  const Form2& f = app.form2;
  const bool connected = f.Check2.value && f.MSComm1.PortOpen();
  TimerOn(app, connected ? interval : int16_t{0});
}

}  // namespace velarin
