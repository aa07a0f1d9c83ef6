#include "connection/connect_switch.h"

#include <cstdint>

#include "connection/connection_texts.h"
#include "connection/family.h"
#include "connection/ident_reads.h"
#include "connection/link_status.h"
#include "connection/settings.h"
#include "connection/timer_on.h"
#include "forms/captions.h"
#include "link/exchange.h"
#include "link/initial.h"
#include "link/link_port.h"
#include "link/link_texts.h"
#include "link/numbers.h"
#include "livedata/panel.h"

namespace velarin {
namespace {

constexpr uint32_t kSettleAfterOpenMs = 8;
// Selectors a P8 Connect clears: all but throttle (6) and battery (7).
constexpr int kP8ClearedChannels[] = {0, 1, 2, 3, 4, 5, 8};

// The "pause" box as whole ms; anything that is not a sensible pause sleeps 0.
uint32_t TickPauseMs(const Form2& f) {
  int32_t ms = 0;
  if (!ToInt32(NumberFromText(f.Text5.text), &ms) || ms < 0) return 0;
  return static_cast<uint32_t>(ms);
}

void RunLiveRead(App& app) {
  // Each option is tested as the loop reaches it, in the table's order.
  for (const FamilyProfile& p : FamilyTable()) {
    if (IsSelected(app.form2, p.family)) p.read_live(app);
  }
}

// The steps of one tick, each tested anew; a link found lost ends the tick there.
void RunTickSteps(App& app) {
  Form2& f = app.form2;
  if (EndIfLinkLost(app)) return;
  if (!f.init) {
    AppendLog(f.Rtb1, texts::kCallInitial);
    Initial(app);
    f.test.enabled = false;
    ShowRateWarning(f);
    if (EndIfLinkLost(app)) return;
  }
  if (!f.init) return;
  f.test.enabled = true;
  f.Command11.enabled = true;
  if (!f.ecuinf) {
    ReadEcuInfo(app);
    if (EndIfLinkLost(app)) return;
  }
  if (!f.ecuinf) return;
  if (!f.cal_ask) {
    ReadCalibration(app);
    if (EndIfLinkLost(app)) return;
  }
  if (!f.cal_ask) return;
  RunLiveRead(app);
  (void)EndIfLinkLost(app);
}

}  // namespace

void Check2_Click(App& app) {
  if (app.form2.Check2.value) Connect(app);
  if (!app.form2.Check2.value) Disconnect(app);
}

void Connect(App& app) {
  Form2& f = app.form2;
  LinkPort& port = f.MSComm1;
  StoreSettings(app);
  f.init = false;
  f.ecuinf = false;
  f.cal_ask = false;

  OpenLinkPort(port, PortNumberFromText(f.Text6.text));
  AppendLog(f.Rtb1, texts::k1200bds);
  const bool p8 = IsSelected(f, EcuFamily::EcuP8);
  if (p8) {
    SetBaudRate(port, kKLineBaud);
    AppendLog(f.Rtb1, texts::k7812);
  }
  ShowOpenOutcome(f);
  if (!port.PortOpen()) return;

  ShowRateWarning(f);
  f.Shape1.fill_color = kColorGreen;
  f.Check2.value = true;
  f.Check2.caption = captions::kDisconnect;
  app.clock().Sleep(kSettleAfterOpenMs);
  FlushInput(port);
  f.init = false;
  f.Label4.caption = captions::kWaitForIgnition;
  if (p8) {
    f.init = true;
    for (int i : kP8ClearedChannels) {
      // Like a click: only a box whose value changes raises its handler.
      if (!f.Check1[i].value) continue;
      f.Check1[i].value = false;
      Check1_Click(app, i);
    }
  }
  TimerOn(app, kPollIntervalMs);
}

void Disconnect(App& app) {
  Form2& f = app.form2;
  LinkPort& port = f.MSComm1;
  TimerOn(app, 0);
  // A vanished device reports closed, yet the window still shows it connected.
  const bool vanished = port.device != nullptr && port.device->Vanished() && ShowsConnection(f);
  if (port.PortOpen() || vanished) {
    CloseLinkPort(port);
    if (port.device != nullptr) port.device->Close();
    f.Check2.caption = captions::kConnect;
    f.Shape1.fill_color = kColorRed;
  }
  f.Text4.text.clear();
  for (TextBox& readout : f.Text1) readout.text.clear();
  f.init = false;
  f.ecuinf = false;
  f.cal_ask = false;
  f.Label4.caption.clear();
  f.test.enabled = false;
  f.Command11.enabled = false;
  f.status_bar.clear();
}

void Timer1_Timer(App& app) {
  app.clock().Sleep(TickPauseMs(app.form2));
  RunTickSteps(app);
  ScrollLogToEnd(app.form2.Rtb1);
}

}  // namespace velarin
