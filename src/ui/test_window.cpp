#include "ui/test_window.h"

#include "actuators/actuator_protocol.h"
#include "actuators/actuator_tests.h"
#include "actuators/co_trimmer.h"
#include "actuators/diagnostic_mode.h"
#include "actuators/window_yield.h"
#include "connection/restart_polling.h"
#include "ui/observed_step.h"

namespace velarin {
namespace {

void UnloadTestWindow(Form1& form) {
  form.loaded = false;
  form.visible = false;
  form.leave_requested = false;
}

// A "Back" asked for inside a result wait runs once every wait has returned.
void FinishPendingLeave(App& app) {
  const Form1& form = app.form1;
  if (form.loaded && form.leave_requested && form.result_waits == 0) BackFromTestWindow(app);
}

template <typename Handler>
void RunAction(App& app, Handler&& handler) {
  if (!TestWindowStillHere(app.form1, app.form1.instance)) return;
  handler();
  FinishPendingLeave(app);
}

}  // namespace

void LoadTestWindow(App& app) {
  Form1& form = app.form1;
  const uint64_t instance = form.instance + 1;
  const int waits = form.result_waits;
  form = Form1();
  form.instance = instance;
  form.result_waits = waits;
  form.loaded = true;
  EnterDiagnosticMode(app.protocol.MSComm1, app.clock(), form.Rtb1, *app.services);
}

void ShowTestWindow(App& app) {
  if (!app.form1.loaded) LoadTestWindow(app);
  if (app.form1.loaded) app.form1.visible = true;
}

void BackFromTestWindow(App& app) {
  ExitDiagnosticMode(app.protocol.MSComm1, app.clock(), app.form1.Rtb1);
  RestartPolling(app.form2, app.protocol, app.clock(), actuator_protocol::kPollingAfterTestsMs);
  app.form2.visible = true;
  UnloadTestWindow(app.form1);
}

void CloseTestWindowForExit(App& app) {
  if (!app.form1.loaded) return;
  ExitDiagnosticMode(app.protocol.MSComm1, app.clock(), app.form1.Rtb1);
  UnloadTestWindow(app.form1);
}

void ClickTest(App& app, int k) {
  if (k < 1 || k > kTestButtonCount) return;
  RunAction(app, [&] {
    if (!app.form1.Command[k - 1].enabled) return;
    RunObserved(app, SessionStep::kActuatorTest, k, app.form1.Rtb1,
                [&] { TestButtonClick(app, k - 1); });
  });
}

void SetCustomCode(App& app, const std::string& text) {
  RunAction(app, [&] { app.form1.Text1.text = text; });
}

// A click on the option already selected changes nothing, so its handler does not
// run: it would send 0x8D again (the ECU in CO regulation takes that as a trimmer
// byte) or 0xFF (which leaves diagnostic mode when not regulating).
void ClickCoOn(App& app) {
  RunAction(app, [&] {
    if (!app.form1.Option1.enabled || app.form1.Option1.value) return;
    app.form1.Option1.value = true;
    app.form1.Option2.value = false;
    RunObserved(app, SessionStep::kCoOn, 0, app.form1.Rtb1, [&] { Form1Option1_Click(app); });
  });
}

void ClickCoOff(App& app) {
  RunAction(app, [&] {
    if (!app.form1.Option2.enabled || app.form1.Option2.value) return;
    app.form1.Option2.value = true;
    app.form1.Option1.value = false;
    RunObserved(app, SessionStep::kCoOff, 0, app.form1.Rtb1, [&] { Form1Option2_Click(app); });
  });
}

void MoveSlider(App& app, int32_t position) {
  RunAction(app, [&] {
    if (app.form1.Slider1.enabled) SetSlider1Value(app.form1, position);
  });
}

void SetTrimmerText(App& app, const std::string& text) {
  RunAction(app, [&] {
    if (app.form1.Text2.enabled) SetText2(app.form1, text);
  });
}

void ClickTrimmerOk(App& app) {
  RunAction(app, [&] {
    if (!app.form1.Command10.enabled) return;
    RunObserved(app, SessionStep::kTrimmer, 0, app.form1.Rtb1, [&] { Command10_Click(app); });
  });
}

void ClickBack(App& app) {
  Form1& form = app.form1;
  if (!form.loaded || !form.back.enabled) return;
  if (form.result_waits > 0) {
    form.leave_requested = true;  // the waits see it at their next step and return
    return;
  }
  BackFromTestWindow(app);
}

void CloseTestWindow(App& app) {
  if (!app.form1.loaded) return;
  if (app.form1.result_waits > 0) {
    app.form1.leave_requested = true;
    return;
  }
  BackFromTestWindow(app);
}

}  // namespace velarin
