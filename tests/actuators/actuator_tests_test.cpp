#include "actuators/actuator_tests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "actuators/awake_link.h"
#include "link/exchange.h"
#include "link/link_port.h"
#include "ui/test_window.h"

namespace velarin {
namespace {

using testing::AwakeLink;
using testing::Bytes;
using testing::Lines;
using testing::LogLines;

// The rig with the test window open on an ECU in diagnostic mode; the log,
// the sleeps and the sent bytes start empty.
struct OpenWindow : AwakeLink {
  explicit OpenWindow(EcuScenario s) : AwakeLink(std::move(s)) {
    BringUp();
    OpenTestWindow();
    services.do_events = 0;
  }
  int SecondSteps() {
    const auto& s = services.virtual_clock().sleeps();
    return static_cast<int>(std::count(s.begin(), s.end(), 1000u));
  }
};

EcuScenario WithVerdict(uint8_t code, TestVerdict verdict, EcuFamily family = EcuFamily::Ecu15m) {
  EcuScenario s;
  s.family = family;
  s.verdicts[code] = std::move(verdict);
  return s;
}

TEST(RunTest, VerdictPaths) {
  struct Case {
    const char* what;
    int button;
    TestVerdict verdict;
    Lines log;
    int steps;  // one-second steps of the result wait
  } cases[] = {
      {"finished at once", 1, {{0xFF}, 0, {}}, {"Fuel pump", "80FF", "Test finish"}, 0},
      {"failed later", 1, {{0x01}, 2500, {0xEE}}, {"Fuel pump", "8001", "EE", "Test failed"}, 3},
      {"finished later", 3, {{0x01}, 500, {0xFF}}, {"Injector2", "8701", "FF", "Test finish"}, 1},
      {"two bytes are no verdict",
       1,
       {{0x01}, 500, {0xEE, 0xFF}},
       {"Fuel pump", "8001", "EEFF"},
       36},
      {"nothing more: 36 s", 1, {{0x01}, 0, {}}, {"Fuel pump", "8001", "Test unknown"}, 36},
      {"nothing more: 30 s", 9, {{0x01}, 0, {}}, {"Reset TPS", "8901", "Test unknown"}, 30},
      {"no first answer", 1, {{}, 0, {}}, {"Fuel pump"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const uint8_t code = c.button == 1 ? 0x80 : c.button == 3 ? 0x87 : 0x89;
    OpenWindow rig(WithVerdict(code, c.verdict));
    ClickTest(rig.app, c.button);
    EXPECT_EQ(LogLines(rig.app.form1.Rtb1), c.log);
    EXPECT_EQ(rig.Sent(), Bytes{code});
    EXPECT_EQ(rig.SecondSteps(), c.steps);
    EXPECT_EQ(rig.app.form1.Pg1.value, 0);
    EXPECT_EQ(rig.app.form1.result_waits, 0);
    EXPECT_GE(rig.app.form1.Rtb1.ScrollCount(), 1u);
  }
}

TEST(RunTest, ProgressBarCountsTheSecondsWaited) {
  OpenWindow rig(WithVerdict(0x80, {{0x01}, 0, {}}));
  std::vector<std::pair<int, int>> seen;  // (max, value) at each repaint
  rig.services.on_repaint = [&] {
    seen.emplace_back(rig.app.form1.Pg1.max, rig.app.form1.Pg1.value);
  };
  ClickTest(rig.app, 1);
  ASSERT_EQ(seen.size(), 36u);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(seen[i], std::make_pair(36, i + 1));
  EXPECT_EQ(rig.app.form1.Pg1.value, 0);
  // One yield before sending, then one per second.
  EXPECT_EQ(rig.services.do_events, 1 + 36);
}

TEST(RunTest, FirstAnswerFinishingLeavesTheBarAtZero) {
  OpenWindow rig(WithVerdict(0x80, {{0xFF}, 0, {}}));
  rig.app.form1.Pg1.value = 7;
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.app.form1.Pg1.value, 0);
  EXPECT_EQ(rig.services.repaints, 0);
}

TEST(RunTest, SendsTheCodeFiftyMillisecondsAfterTheYield) {
  OpenWindow rig(WithVerdict(0x80, {{0xFF}, 0, {}}));
  const uint32_t start = rig.clock().NowMs();
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.clock().sleeps().front(), 50u);
  const auto& wire = rig.line.wire();
  const auto sent = std::find_if(wire.begin(), wire.end(), [&](const WireByte& w) {
    return w.from_program && w.at_ms >= start;
  });
  ASSERT_NE(sent, wire.end());
  EXPECT_EQ(sent->byte, 0x80);
  EXPECT_EQ(sent->at_ms - start, 50u);
}

TEST(RunTest, ClosedPortSendsAndLogsNothing) {
  OpenWindow rig(WithVerdict(0x80, {{0xFF}, 0, {}}));
  CloseLinkPort(rig.app.protocol.MSComm1);
  const size_t scrolls = rig.app.form1.Rtb1.ScrollCount();
  ClickTest(rig.app, 1);
  EXPECT_TRUE(rig.Sent().empty());
  EXPECT_TRUE(LogLines(rig.app.form1.Rtb1).empty());
  EXPECT_EQ(rig.app.form1.Rtb1.ScrollCount(), scrolls + 1);
}

TEST(TestButtons, CodeAndNameFollowTheFamilyGroup) {
  struct Case {
    EcuFamily family;
    int button;
    uint8_t code;
    const char* name;
  } cases[] = {
      {EcuFamily::Ecu15Rc, 2, 0x86, "Injector1"},  {EcuFamily::Ecu15Rc, 5, 0x81, "Coil1"},
      {EcuFamily::Ecu16m, 2, 0x81, "Injector1"},   {EcuFamily::Ecu16m, 5, 0x82, "Coil1"},
      {EcuFamily::Ecu15m, 4, 0x85, "Rev counter"}, {EcuFamily::EcuP8, 4, 0x86, "rev counter"},
      {EcuFamily::Ecu15m, 6, 0x82, "Coil2"},       {EcuFamily::EcuP8, 6, 0x83, "Coil2"},
      {EcuFamily::Ecu15m, 7, 0x83, "Clear DTC"},   {EcuFamily::EcuP8, 7, 0x84, "Clear DTC"},
      {EcuFamily::EcuP8, 1, 0x80, "Fuel pump"},    {EcuFamily::EcuP8, 3, 0x87, "Injector2"},
      {EcuFamily::Ecu16m, 9, 0x89, "Reset TPS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " button " + std::to_string(c.button));
    EcuScenario s;
    s.family = c.family;
    OpenWindow rig(s);
    ClickTest(rig.app, c.button);
    EXPECT_EQ(rig.Sent(), Bytes{c.code});
    EXPECT_EQ(LogLines(rig.app.form1.Rtb1),
              (Lines{c.name, HexText({c.code, 0xFF}), "Test finish"}));
  }
}

TEST(TestButtons, WithoutAFamilyOnlyTheFixedCodesAreSent) {
  EcuScenario s;
  OpenWindow rig(s);
  Form2& f = rig.app.form2;
  for (OptionButton* o : {&f.Option1, &f.Option9, &f.Option7, &f.Option2}) o->value = false;
  for (int k : {2, 4, 5, 6, 7}) ClickTest(rig.app, k);
  EXPECT_TRUE(rig.Sent().empty());
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.Sent(), Bytes{0x80});
}

TEST(TestButtons, OutOfRangeAndDisabledButtonsDoNothing) {
  OpenWindow rig(EcuScenario{});
  ClickTest(rig.app, 0);
  ClickTest(rig.app, 10);
  rig.app.form1.Command[0].enabled = false;
  ClickTest(rig.app, 1);
  EXPECT_TRUE(rig.Sent().empty());
  EXPECT_TRUE(LogLines(rig.app.form1.Rtb1).empty());
}

TEST(CustomCode, OneHexByteIsSentAndLoggedAsTyped) {
  OpenWindow rig(EcuScenario{});
  SetCustomCode(rig.app, "1f");
  ClickTest(rig.app, 8);
  EXPECT_EQ(rig.Sent(), Bytes{0x1F});
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1), (Lines{"Custom code 1f", "1FFF", "Test finish"}));
}

TEST(CustomCode, AnythingButOneByteIsRefusedWithOneLine) {
  for (const char* typed : {"zz", "1FF", "-1", "", "FFFF", "1 f"}) {
    SCOPED_TRACE(typed);
    OpenWindow rig(EcuScenario{});
    SetCustomCode(rig.app, typed);
    ClickTest(rig.app, 8);
    EXPECT_TRUE(rig.Sent().empty());
    const Lines log = LogLines(rig.app.form1.Rtb1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], std::string("Custom code not sent: \"") + typed +
                          "\" is not one byte (hex 00 to FF)");
    EXPECT_EQ(rig.services.do_events, 0);
  }
}

TEST(CustomCode, TheWaitIsThirtySixSeconds) {
  OpenWindow rig(WithVerdict(0x42, {{0x01}, 0, {}}));
  SetCustomCode(rig.app, "42");
  ClickTest(rig.app, 8);
  EXPECT_EQ(rig.SecondSteps(), 36);
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1).back(), "Test unknown");
}

}  // namespace
}  // namespace velarin
