#include "ui/navigation.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "actuators/awake_link.h"
#include "forms/timer_on.h"
#include "ui/test_window.h"

namespace velarin {
namespace {

using testing::AwakeLink;
using testing::Bytes;
using testing::Lines;
using testing::LogLines;

// The main window with its link up and its polling running, as a connection leaves it.
struct Connected : AwakeLink {
  explicit Connected(EcuScenario s = {}) : AwakeLink(std::move(s)) {
    BringUp();
    app.form2.Command11.enabled = true;
    TimerOn(app.protocol.Timer1, app.clock(), 50);
  }
};

uint32_t SentAt(const SimulatedLine& line, uint8_t byte, uint32_t from) {
  for (const WireByte& w : line.wire()) {
    if (w.from_program && w.byte == byte && w.at_ms >= from) return w.at_ms;
  }
  return 0;
}

TEST(TestsMenu, StopsThePollingBeforeTheMainWindowHides) {
  Connected rig;
  bool running_at_50ms = true;
  bool shown_at_50ms = false;
  rig.clock().Schedule(50, [&] {
    running_at_50ms = rig.app.protocol.Timer1.enabled;
    shown_at_50ms = rig.app.form2.visible;
  });
  const uint32_t start = rig.clock().NowMs();
  ClickTestsMenu(rig.app);
  EXPECT_FALSE(running_at_50ms);
  EXPECT_TRUE(shown_at_50ms);
  EXPECT_FALSE(rig.app.protocol.Timer1.enabled);
  EXPECT_FALSE(rig.app.form2.visible);
  EXPECT_TRUE(rig.app.form1.loaded);
  EXPECT_TRUE(rig.app.form1.visible);
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1), Lines{"Enter in diagnostic mode OK"});
  // 100 ms pause, then the load's 500 and 28 ms before 0xAA goes out.
  EXPECT_EQ(SentAt(rig.line, 0xAA, start) - start, 628u);
  EXPECT_EQ(rig.Sent(), Bytes{0xAA});
}

TEST(TestsMenu, DisabledMenuDoesNothing) {
  Connected rig;
  rig.app.form2.test.enabled = false;
  ClickTestsMenu(rig.app);
  EXPECT_TRUE(rig.app.form2.visible);
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_TRUE(rig.app.protocol.Timer1.enabled);
  EXPECT_TRUE(rig.Sent().empty());
}

TEST(Back, RestartsThePollingAtTwentyAndReturnsToTheMainWindow) {
  Connected rig;
  ClickTestsMenu(rig.app);
  ClickBack(rig.app);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0xFF}));
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1).back(), "Exit diagnostic mode OK");
  EXPECT_TRUE(rig.app.protocol.Timer1.enabled);
  EXPECT_EQ(rig.app.protocol.Timer1.interval, 20);
  EXPECT_TRUE(rig.app.form2.visible);
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_FALSE(rig.app.form1.visible);
  EXPECT_FALSE(rig.line.in_diagnostic_mode());
}

TEST(Back, WithoutAnAnswerStillReturnsWithinThreeSeconds) {
  EcuScenario s;
  s.diag_exit_answer = {};
  Connected rig(s);
  ClickTestsMenu(rig.app);
  const uint32_t start = rig.clock().NowMs();
  ClickBack(rig.app);
  EXPECT_LE(rig.clock().NowMs() - start, 8u + 3000u + 4u + 1u);
  EXPECT_GT(rig.clock().NowMs() - start, 3000u);
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1), Lines{"Enter in diagnostic mode OK"});
  EXPECT_EQ(rig.app.protocol.Timer1.interval, 20);
  EXPECT_FALSE(rig.app.form1.loaded);
}

// Polling a closed port would only log "init = false => call initial " at every tick.
TEST(Back, RestartsThePollingOnlyWithTheSwitchDownAndThePortOpen) {
  for (const auto& [switch_down, port_open] :
       {std::pair{false, false}, {true, false}, {false, true}}) {
    AwakeLink rig{EcuScenario{}};
    if (port_open) rig.OpenPort();
    rig.app.form2.Check2.value = switch_down;  // down with a closed port: Connect failed
    ClickTestsMenu(rig.app);
    ClickBack(rig.app);
    EXPECT_FALSE(rig.app.protocol.Timer1.enabled) << switch_down << port_open;
  }
}

// No tick runs while the test window holds the link: "Back" ends a lost one.
TEST(Back, EndsAConnectionWhoseAdapterWentAway) {
  Connected rig;
  rig.app.form2.Check2.caption = "Disconnect";
  rig.app.protocol.connection = ConnectionState::kConnected;
  ClickTestsMenu(rig.app);
  rig.line.Vanish();
  ClickBack(rig.app);
  EXPECT_FALSE(rig.app.protocol.Timer1.enabled);
  EXPECT_EQ(rig.app.form2.Check2.caption, "Connect");
  EXPECT_EQ(rig.app.protocol.link_losses, 1u);
}

TEST(Back, TitleBarCloseIsBack) {
  Connected rig;
  ClickTestsMenu(rig.app);
  CloseTestWindow(rig.app);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0xFF}));
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_EQ(rig.app.protocol.Timer1.interval, 20);
}

TEST(Back, ReopenedWindowStartsFreshAndEntersAgain) {
  Connected rig;
  ClickTestsMenu(rig.app);
  ClickCoOn(rig.app);
  SetCustomCode(rig.app, "1f");
  const uint64_t first = rig.app.form1.instance;
  ClickBack(rig.app);  // leaves CO regulation and diagnostic mode
  ClickTestsMenu(rig.app);
  const Form1& f = rig.app.form1;
  EXPECT_NE(f.instance, first);
  EXPECT_EQ(LogLines(f.Rtb1), Lines{"Enter in diagnostic mode OK"});
  EXPECT_TRUE(f.Option2.value);
  EXPECT_FALSE(f.Slider1.enabled);
  EXPECT_EQ(f.Text1.text, "00");
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x8D, 0xFF, 0xAA}));
}

TEST(Dtc, RestartsThePollingAtFifty) {
  EcuScenario s;
  s.fault1 = 0;
  Connected rig(s);
  TimerOn(rig.app.protocol.Timer1, rig.app.clock(), 20);
  ClickDtc(rig.app);
  EXPECT_EQ(rig.Sent(), (Bytes{0x0F, 0x10, 0x11}));
  EXPECT_EQ(rig.app.protocol.Timer1.interval, 50);
  EXPECT_TRUE(rig.app.protocol.Timer1.enabled);
  EXPECT_EQ(rig.app.form2.Rtb1.LineCount(), 13u);
}

TEST(Dtc, DisabledButtonOrOpenTestWindowSendsNothing) {
  Connected rig;
  rig.app.form2.Command11.enabled = false;
  ClickDtc(rig.app);
  EXPECT_TRUE(rig.Sent().empty());
  rig.app.form2.Command11.enabled = true;
  ClickTestsMenu(rig.app);
  ClickDtc(rig.app);  // the test window owns the link
  EXPECT_EQ(rig.Sent(), Bytes{0xAA});
  EXPECT_FALSE(rig.app.protocol.Timer1.enabled);
}

TEST(Donation, OpensTheFixedHttpsAddress) {
  AwakeLink rig{EcuScenario{}};
  ClickDonation(rig.app);
  EXPECT_EQ(rig.services.urls, Lines{"https://velarin.example.org/donate"});
  rig.app.form2.Command8.enabled = false;
  ClickDonation(rig.app);
  EXPECT_EQ(rig.services.urls.size(), 1u);
}

TEST(UnloadMainWindow, ClosesTheTestWindowStopsThePollingAndClosesThePort) {
  Connected rig;
  ClickTestsMenu(rig.app);
  UnloadMainWindow(rig.app);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0xFF}));
  EXPECT_FALSE(rig.line.in_diagnostic_mode());
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_FALSE(rig.app.protocol.Timer1.enabled);
  EXPECT_FALSE(rig.app.protocol.MSComm1.PortOpen());
  EXPECT_FALSE(rig.app.form2.visible);
  // Nothing after the end reopens or sends anything.
  UnloadMainWindow(rig.app);
  ClickTestsMenu(rig.app);
  ClickBack(rig.app);
  ClickDtc(rig.app);
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0xFF}));
}

TEST(UnloadMainWindow, WithoutTestWindowJustStops) {
  Connected rig;
  UnloadMainWindow(rig.app);
  EXPECT_TRUE(rig.Sent().empty());
  EXPECT_FALSE(rig.app.protocol.Timer1.enabled);
  EXPECT_FALSE(rig.app.protocol.MSComm1.PortOpen());
}

}  // namespace
}  // namespace velarin
