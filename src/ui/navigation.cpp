#include "ui/navigation.h"

#include <string>

#include "diagnostics/read_fault_status.h"
#include "forms/captions.h"
#include "forms/timer_on.h"
#include "link/link_port.h"
#include "ui/observed_step.h"
#include "ui/test_window.h"

namespace velarin {

void test_Click(App& app) {
  TimerOn(app.protocol.Timer1, app.clock(), 0);
  app.clock().Sleep(kTestsMenuPauseMs);
  app.form2.visible = false;
  ShowTestWindow(app);
}

void Command11_Click(App& app) { ReadFaultStatus(app.form2, app.protocol, app.clock()); }

void Command8_Click(App& app) { app.services->OpenUrl(std::string(captions::kDonationUrl)); }

void Form2_Unload(App& app) {
  CloseTestWindowForExit(app);
  TimerOn(app.protocol.Timer1, app.clock(), 0);
  CloseLinkPort(app.protocol.MSComm1);
  Form2& f = app.form2;
  f.visible = false;
  f.loaded = false;
  f.test.enabled = false;
  f.Command11.enabled = false;
  f.Command8.enabled = false;
}

void ClickTestsMenu(App& app) {
  // A test window still unwinding its waits (the program is closing) must not be reloaded.
  if (!app.form2.test.enabled || app.form1.result_waits > 0) return;
  test_Click(app);
}

void ClickDtc(App& app) {
  if (!app.form2.Command11.enabled || app.form1.loaded) return;
  RunObserved(app, SessionStep::kFaultRead, 0, app.form2.Rtb1, [&] { Command11_Click(app); });
}

void ClickDonation(App& app) {
  if (app.form2.Command8.enabled) Command8_Click(app);
}

void UnloadMainWindow(App& app) { Form2_Unload(app); }

}  // namespace velarin
