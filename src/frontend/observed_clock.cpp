#include "frontend/observed_clock.h"

namespace velarin::frontend {

void ObservedClock::Sleep(uint32_t ms) {
  // A hook that itself sleeps must not recurse into itself.
  if (hook_ && !in_hook_) {
    in_hook_ = true;
    hook_();
    in_hook_ = false;
  }
  inner_.Sleep(ms);
}

}  // namespace velarin::frontend
