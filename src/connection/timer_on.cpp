#include "connection/timer_on.h"

namespace velarin {

void TimerOn(App& app, int16_t interval) {
  Timer& t = app.form2.Timer1;
  if (interval >= 1) {
    t.enabled = true;
    t.interval = interval;
  } else {
    t.interval = 0;
    t.enabled = false;
  }
  t.restarted_at = app.clock().NowMs();
  ++t.generation;
}

}  // namespace velarin
