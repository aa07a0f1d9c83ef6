#include "livedata/panel.h"

#include "forms/timer_on.h"
#include "livedata/channels.h"

namespace velarin {

void Check1_Click(App& app, int /*index*/) {
  Form2& f = app.form2;
  ProtocolState& p = app.protocol;
  app.services->DoEvents();
  if (p.init) TimerOn(p.Timer1, app.clock(), 0);
  for (int i = 0; i < kChannelCount; ++i) {
    if (f.Check1[i].value) continue;
    f.Text1[i].text.clear();
    // The throttle row holds the 15Rc voltage too; it must not go on showing a stale value.
    if (i == kThrottle) f.Text1[kThrottleVoltsReadout].text.clear();
  }
  bool any = false;
  for (const CheckBox& box : f.Check1) any = any || box.value;
  if (!any) {
    f.Check1[kThrottle].value = true;
    Check1_Click(app, kThrottle);  // setting the box raises its click
  }
  // A test window opened by the yield owns the link now; it restarts the polling when it goes.
  // A Disconnect or the program's end run by the yield leaves it stopped.
  const bool connected = f.Check2.value && p.MSComm1.PortOpen();
  if (p.init && connected && !app.form1.loaded) {
    TimerOn(p.Timer1, app.clock(), kRestartIntervalMs);
  }
}

void ClickChannel(App& app, int index) {
  if (index < 0 || index >= kChannelCount) return;
  CheckBox& box = app.form2.Check1[index];
  if (!box.enabled) return;
  box.value = !box.value;
  Check1_Click(app, index);
}

void SetChannels(App& app, const std::vector<bool>& wanted) {
  bool any = false;
  for (int i = 0; i < kChannelCount && i < static_cast<int>(wanted.size()); ++i) {
    any = any || wanted[i];
  }
  // Nothing at all is the throttle alone: the panel would bring it back anyway.
  auto want = [&](int i) {
    if (!any) return i == kThrottle;
    return i < static_cast<int>(wanted.size()) && wanted[i];
  };
  for (int i = 0; i < kChannelCount; ++i) {
    if (want(i) && !app.form2.Check1[i].value) ClickChannel(app, i);
  }
  for (int i = 0; i < kChannelCount; ++i) {
    if (!want(i) && app.form2.Check1[i].value) ClickChannel(app, i);
  }
}

}  // namespace velarin
