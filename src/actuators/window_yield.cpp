#include "actuators/window_yield.h"

namespace velarin {

bool TestWindowStillHere(const Form1& form, uint64_t instance) {
  return form.loaded && form.instance == instance && !form.leave_requested;
}

bool YieldToWindow(App& app, uint64_t instance) {
  app.services->DoEvents();
  return TestWindowStillHere(app.form1, instance);
}

}  // namespace velarin
