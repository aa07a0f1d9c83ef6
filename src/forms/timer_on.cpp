#include "forms/timer_on.h"

namespace velarin {

void TimerOn(Timer& Timer1, Clock& clock, int16_t interval) {
  if (interval >= 1) {
    Timer1.enabled = true;
    Timer1.interval = interval;
  } else {
    Timer1.interval = 0;
    Timer1.enabled = false;
  }
  Timer1.restarted_at = clock.NowMs();
  ++Timer1.generation;
}

}  // namespace velarin
