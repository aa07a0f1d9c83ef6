#include "ui/main_window.h"

#include "connection/connect_switch.h"
#include "connection/family.h"
#include "connection/ident_reads.h"
#include "connection/settings.h"
#include "livedata/temp_table.h"
#include "ui/event_loop.h"

namespace velarin {

void LoadMainWindow(App& app) {
  Form2& f = app.form2;
  ProtocolState& p = app.protocol;
  p.init = false;
  p.ecuinf = false;
  p.cal_ask = false;
  p.link_losses = 0;
  p.link_lost_reason.clear();
  // The selectors open checked with empty readouts; Text1(9) shows only for 15Rc.
  for (CheckBox& selector : f.Check1) selector.value = true;
  for (TextBox& readout : f.Text1) readout.text.clear();
  const FamilyFacts* family = SelectedFacts(f);
  ShowThrottleVolts(f, family != nullptr && family->throttle_15rc);
  BuildTempTable(p);
  RestoreSettings(f, app.settings_path);
  f.loaded = true;
}

void ClickConnectSwitch(App& app) {
  app.form2.Check2.value = !app.form2.Check2.value;
  Check2_Click(app);
}

void SetComText(App& app, std::string_view text) { app.form2.Text6.text = std::string(text); }

void ClickFamily(App& app, EcuFamily family) {
  SelectFamilyOption(app.form2, family);
  FamilyOption_Click(app.form2, family);
}

void ClickCheck3(App& app) {
  app.form2.Check3.value = !app.form2.Check3.value;
  Check3_Click(app.form2, app.protocol);
}

void ClickCheck4(App& app) {
  app.form2.Check4.value = !app.form2.Check4.value;
  Check4_Click(app.form2, app.protocol);
}

void ClickEcuInfoButton(App& app) { ReadEcuInfo(app.form2, app.protocol, app.clock()); }

void ClickCalibrationButton(App& app) { ReadCalibration(app.form2, app.protocol, app.clock()); }

void MainTick(App& app) {
  const uint64_t frames = app.protocol.live_frames;
  Timer1_Timer(app);
  if (app.observer != nullptr && app.protocol.live_frames != frames)
    app.observer->StepDone(app, SessionStepDone{});
}

void WireMainLoop(EventLoop& loop, App& app) {
  loop.SetTick([&app] { MainTick(app); });
}

}  // namespace velarin
