#include "connection/connect_switch.h"

#include <cstdint>

#include "connection/connection_texts.h"
#include "connection/ident_reads.h"
#include "connection/link_status.h"
#include "connection/settings.h"
#include "forms/captions.h"
#include "forms/ecu_family.h"
#include "forms/timer_on.h"
#include "link/exchange.h"
#include "link/initial.h"
#include "link/link_port.h"
#include "link/link_texts.h"
#include "link/numbers.h"
#include "livedata/frames.h"
#include "livedata/panel.h"
#include "platform/serial_errors.h"

namespace velarin {
namespace {

// Selectors Connect clears where the family says so: all but throttle (6) and battery (7).
constexpr int kClearedAtConnect[] = {0, 1, 2, 3, 4, 5, 8};

// The "pause" box as whole ms; anything that is not a sensible pause sleeps 0.
uint32_t TickPauseMs(const Form2& f) {
  int32_t ms = 0;
  if (!ToInt32(NumberFromText(f.Text5.text), &ms) || ms < 0) return 0;
  return static_cast<uint32_t>(ms);
}

void RunLiveRead(App& app) {
  // Each option is tested as the loop reaches it, in the table's order.
  for (const FamilyFacts& family : kFamilies) {
    if (IsSelected(app.form2, family.id)) ReadLiveFrame(app, *family.live_frame);
  }
}

// The steps of one tick, each tested anew; a link found lost ends the tick there.
void RunTickSteps(App& app) {
  Form2& f = app.form2;
  ProtocolState& p = app.protocol;
  Clock& clock = app.clock();
  if (EndIfLinkLost(f, p, clock)) return;
  if (!p.init) {
    AppendLog(f.Rtb1, texts::kCallInitial);
    Initial(f, p, clock);
    f.test.enabled = false;
    ShowRateWarning(f, p.MSComm1);
    if (EndIfLinkLost(f, p, clock)) return;
  }
  if (!p.init) return;
  f.test.enabled = true;
  f.Command11.enabled = true;
  if (!p.ecuinf) {
    ReadEcuInfo(f, p, clock);
    if (EndIfLinkLost(f, p, clock)) return;
  }
  if (!p.ecuinf) return;
  if (!p.cal_ask) {
    ReadCalibration(f, p, clock);
    if (EndIfLinkLost(f, p, clock)) return;
  }
  if (!p.cal_ask) return;
  RunLiveRead(app);
  (void)EndIfLinkLost(f, p, clock);
}

}  // namespace

void Check2_Click(App& app) {
  if (app.form2.Check2.value) Connect(app);
  if (!app.form2.Check2.value) Disconnect(app.form2, app.protocol, app.clock());
}

void Connect(App& app) {
  Form2& f = app.form2;
  ProtocolState& p = app.protocol;
  LinkPort& port = p.MSComm1;
  StoreSettings(f, app.settings_path);
  p.init = false;
  p.ecuinf = false;
  p.cal_ask = false;

  OpenLinkPort(port, PortNumberFromText(f.Text6.text));
  AppendLog(f.Rtb1, texts::k1200bds);
  // Read once: the family decides the rate now and the link state below.
  const FamilyFacts* family = SelectedFacts(f);
  const bool no_handshake = family != nullptr && family->link_start == LinkStart::kNoHandshake;
  if (no_handshake) {
    SetBaudRate(port, kKLineBaud);
    AppendLog(f.Rtb1, texts::k7812);
  }
  ShowOpenOutcome(f, port);
  if (!port.PortOpen()) return;

  ShowRateWarning(f, port);
  f.Shape1.fill_color = kColorGreen;
  f.Check2.value = true;
  f.Check2.caption = captions::kDisconnect;
  p.connection = ConnectionState::kConnected;
  app.clock().Sleep(kSettleBeforeFlushMs);
  FlushInput(port);
  p.init = false;
  f.Label4.caption = captions::kWaitForIgnition;
  if (no_handshake) p.init = true;
  if (family != nullptr && family->connect_clears_channels) {
    for (int i : kClearedAtConnect) {
      // Like a click: only a box whose value changes raises its handler.
      if (!f.Check1[i].value) continue;
      f.Check1[i].value = false;
      Check1_Click(app, i);
    }
  }
  // Those handlers yield: a click run there may have released the switch again, or
  // opened the test window, which owns the link until it closes.
  if (app.form1.loaded || EndIfLinkLost(f, p, app.clock())) return;
  const bool connected = f.Check2.value && port.PortOpen();
  TimerOn(p.Timer1, app.clock(), connected ? kPollIntervalMs : int16_t{0});
}

void Disconnect(Form2& f, ProtocolState& p, Clock& clock) {
  LinkPort& port = p.MSComm1;
  TimerOn(p.Timer1, clock, 0);
  const bool connected = p.connection == ConnectionState::kConnected;
  // A vanished device reports closed, yet the window still shows it connected.
  const bool vanished = port.device != nullptr && port.device->Vanished() && connected;
  if (port.PortOpen() || vanished) {
    CloseLinkPort(port);
    if (port.device != nullptr) port.device->Close();
    f.Check2.caption = captions::kConnect;
    f.Shape1.fill_color = kColorRed;
    p.connection = ConnectionState::kIdle;
  }
  f.Text4.text.clear();
  for (TextBox& readout : f.Text1) readout.text.clear();
  p.init = false;
  p.ecuinf = false;
  p.cal_ask = false;
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

bool EndIfLinkLost(Form2& f, ProtocolState& p, Clock& clock) {
  LinkPort& port = p.MSComm1;
  if (port.device == nullptr || !port.device->Vanished() ||
      p.connection != ConnectionState::kConnected) {
    return false;
  }
  const std::string reason = port.device->LastError();
  const std::string path = PortPathInUse(port);
  f.Check2.value = false;  // the switch pops out, as if the user had released it
  Disconnect(f, p, clock);
  ++p.link_losses;
  p.link_lost_reason = reason.empty() ? WentAwayText(path) : reason;
  ShowLinkLost(f, path, p.link_lost_reason);
  return true;
}

}  // namespace velarin
