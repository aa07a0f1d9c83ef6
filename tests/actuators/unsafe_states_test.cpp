// What happens when the user acts while a test's result wait is running: the
// wait yields once a second, so "Back", a second test or the end of the
// program can arrive in the middle of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "actuators/awake_link.h"
#include "forms/timer_on.h"
#include "ui/event_loop.h"
#include "ui/navigation.h"
#include "ui/test_window.h"

namespace velarin {
namespace {

using testing::AwakeLink;
using testing::Bytes;
using testing::Lines;
using testing::LogLines;

// Fuel pump (0x80) answers at once but gives no verdict: a 36 s wait.
// Injector 2 (0x87) fails 1.5 s after its first answer.
EcuScenario SlowTests() {
  EcuScenario s;
  s.family = EcuFamily::Ecu15m;
  s.verdicts[0x80] = {{0x01}, 0, {}};
  s.verdicts[0x87] = {{0x01}, 1500, {0xEE}};
  return s;
}

uint32_t SentAtOrZero(const SimulatedLine& line, uint8_t byte) {
  uint32_t at = 0;
  for (const WireByte& w : line.wire()) {
    if (w.from_program && w.byte == byte) at = w.at_ms;
  }
  return at;
}

struct InTestWindow : AwakeLink {
  InTestWindow() : AwakeLink(SlowTests()) {
    BringUp();
    ClickTestsMenu(app);
    clock().ClearSleeps();
    services.do_events = 0;
  }
  // Runs `action` once, at the n-th yield from now.
  void AtYield(int n, std::function<void()> action) {
    services.on_do_events = [this, n, action = std::move(action), done = false]() mutable {
      if (!done && services.do_events == n) {
        done = true;
        action();
      }
    };
  }
  int SecondSteps() {
    const auto& s = clock().sleeps();
    return static_cast<int>(std::count(s.begin(), s.end(), 1000u));
  }
};

// Yield 1 is the test's own before it sends; yield n + 1 starts the n-th second of its wait.
TEST(BackDuringAWait, EndsTheWaitThenLeavesOnce) {
  for (bool title_bar : {false, true}) {
    SCOPED_TRACE(title_bar ? "title-bar close" : "Back");
    InTestWindow rig;
    rig.AtYield(3, [&] { title_bar ? CloseTestWindow(rig.app) : ClickBack(rig.app); });
    ClickTest(rig.app, 1);
    EXPECT_EQ(rig.SecondSteps(), 1);  // the wait stopped at its second step
    EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x80, 0xFF}));
    EXPECT_EQ(LogLines(rig.app.form1.Rtb1), (Lines{"Enter in diagnostic mode OK", "Fuel pump",
                                                   "8001", "Exit diagnostic mode OK"}));
    EXPECT_FALSE(rig.app.form1.loaded);
    EXPECT_FALSE(rig.app.form1.leave_requested);
    EXPECT_EQ(rig.app.form1.result_waits, 0);
    EXPECT_TRUE(rig.app.form2.visible);
    EXPECT_EQ(rig.app.protocol.Timer1.interval, 20);
  }
}

TEST(BackDuringAWait, ClicksQueuedBehindBackAreDropped) {
  InTestWindow rig;
  rig.AtYield(3, [&] {
    ClickBack(rig.app);
    ClickTest(rig.app, 3);    // a test on a window that is leaving
    ClickCoOn(rig.app);       // nor CO regulation
    ClickTestsMenu(rig.app);  // nor a reload while the old wait unwinds
  });
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x80, 0xFF}));
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_TRUE(rig.app.form2.visible);
}

TEST(BackDuringAWait, WorksThroughTheRealEventLoop) {
  InTestWindow rig;
  EventLoop loop(rig.app, rig.clock());
  loop.Post([&] { ClickTest(rig.app, 1); });
  // The user clicks "Back" 5.5 s into the wait; the next yield runs the click.
  uint32_t clicked_at = 0;
  rig.clock().Schedule(5500, [&] {
    clicked_at = rig.clock().NowMs();
    loop.Post([&] { ClickBack(rig.app); });
  });
  ASSERT_TRUE(loop.RunUntil([&] { return !rig.app.form1.loaded; }, 60000));
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x80, 0xFF}));
  EXPECT_EQ(rig.SecondSteps(), 6);
  const uint32_t left_at = SentAtOrZero(rig.line, 0xFF);
  EXPECT_GT(left_at, clicked_at);
  EXPECT_LE(left_at - clicked_at, 1000u + 8u);
  EXPECT_EQ(rig.app.protocol.Timer1.interval, 20);
  EXPECT_TRUE(rig.app.form2.visible);
}

TEST(SecondTestDuringAWait, RunsWithoutDisturbingTheFirst) {
  InTestWindow rig;
  std::vector<std::pair<int, int>> bar;  // (max, value) at every repaint
  rig.services.on_repaint = [&] {
    bar.emplace_back(rig.app.form1.Pg1.max, rig.app.form1.Pg1.value);
  };
  rig.AtYield(5, [&] { ClickTest(rig.app, 3); });
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x80, 0x87}));
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1),
            (Lines{"Enter in diagnostic mode OK", "Fuel pump", "8001", "Injector2", "8701", "EE",
                   "Test failed", "Test unknown"}));
  // The first wait counted all its 36 seconds, in order, on its own bar.
  std::vector<int> first;
  for (auto [max, value] : bar) {
    if (max == 36) first.push_back(value);
  }
  std::vector<int> expected(36);
  for (int i = 0; i < 36; ++i) expected[i] = i + 1;
  EXPECT_EQ(first, expected);
  EXPECT_EQ(rig.SecondSteps(), 36 + 2);
  EXPECT_EQ(rig.app.form1.Pg1.value, 0);
  EXPECT_EQ(rig.app.form1.Pg1.max, 36);
  EXPECT_EQ(rig.app.form1.result_waits, 0);
}

TEST(SecondTestDuringAWait, BackInsideTheInnerWaitEndsBoth) {
  InTestWindow rig;
  rig.line.scenario().verdicts[0x87] = {{0x01}, 0, {}};  // no verdict: a 30 s wait
  rig.services.on_do_events = [&, inner = false, back = false]() mutable {
    if (!inner && rig.services.do_events == 4) {
      inner = true;
      ClickTest(rig.app, 3);
    } else if (inner && !back && rig.app.form1.result_waits == 2) {
      back = true;
      ClickBack(rig.app);
    }
  };
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x80, 0x87, 0xFF}));
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_EQ(rig.app.form1.result_waits, 0);
  EXPECT_EQ(rig.app.form1.Rtb1.Text().find("Test unknown"), std::string::npos);
  EXPECT_LT(rig.SecondSteps(), 6);
}

TEST(OffDuringAWait, ConfirmedExitEndsTheWaitAndLeaves) {
  InTestWindow rig;
  rig.AtYield(3, [&] {
    ClickCoOff(rig.app);  // already off: nothing
    ClickCoOn(rig.app);
    ClickCoOff(rig.app);
  });
  ClickTest(rig.app, 1);
  // "On", "Off", then the exit's own 0xFF once the wait has ended.
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x80, 0x8D, 0xFF, 0xFF}));
  EXPECT_EQ(
      LogLines(rig.app.form1.Rtb1),
      (Lines{"Enter in diagnostic mode OK", "Fuel pump", "8001", "8D8D", "Enter CO Regulation OK",
             "FFFF", "Exit CO Regulation OK", "Exit diagnostic mode OK"}));
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_EQ(rig.app.protocol.Timer1.interval, 20);
}

TEST(MainWindowClosingDuringAWait, EndsEverythingAtOnce) {
  InTestWindow rig;
  rig.AtYield(3, [&] { UnloadMainWindow(rig.app); });
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x80, 0xFF}));
  EXPECT_EQ(rig.SecondSteps(), 1);
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_FALSE(rig.app.protocol.Timer1.enabled);
  EXPECT_FALSE(rig.app.protocol.MSComm1.PortOpen());
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1).back(), "Exit diagnostic mode OK");
  EXPECT_EQ(rig.app.form1.result_waits, 0);
}

TEST(YieldBeforeSending, BackThereCancelsTheTest) {
  InTestWindow rig;
  rig.AtYield(1, [&] { ClickBack(rig.app); });
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0xFF}));
  EXPECT_FALSE(rig.app.form1.loaded);
}

TEST(YieldBeforeSending, BackDuringTheTrimmerYieldSendsNoTrimmer) {
  InTestWindow rig;
  ClickCoOn(rig.app);
  SetTrimmerText(rig.app, "100");
  rig.services.do_events = 0;
  rig.AtYield(1, [&] { ClickBack(rig.app); });
  ClickTrimmerOk(rig.app);
  EXPECT_EQ(rig.Sent(), (Bytes{0xAA, 0x8D, 0xFF}));
  EXPECT_FALSE(rig.app.form1.loaded);
}

}  // namespace
}  // namespace velarin
