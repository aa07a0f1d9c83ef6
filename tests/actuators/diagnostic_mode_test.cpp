#include "actuators/diagnostic_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actuators/awake_link.h"
#include "ui/test_window.h"

namespace velarin {
namespace {

using testing::AwakeLink;
using testing::LogLines;

const std::vector<std::string> kEntered = {"Enter in diagnostic mode OK"};
const std::vector<std::string> kFailed = {"diagnostic mode failed"};

EcuScenario Scenario(EcuFamily family = EcuFamily::Ecu15m) {
  EcuScenario s;
  s.family = family;
  return s;
}

TEST(DiagnosticEntry, OnlyAnEchoFollowedByFFOrAAIsConfirmed) {
  struct Case {
    const char* what;
    std::vector<uint8_t> answer;  // after the echo
    bool echo;
    std::vector<uint8_t> stray;  // in front of the echo
    bool entered;
  } cases[] = {
      {"AAFF", {0xFF}, true, {}, true},
      {"AAAA", {0xAA}, true, {}, true},
      {"AA00", {0x00}, true, {}, false},
      {"three bytes", {0xFF, 0x00}, true, {}, false},
      {"stray byte before the echo", {0xFF}, true, {0x12}, false},
      {"silence", {}, true, {}, false},
      {"no echo", {0xFF}, false, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EcuScenario s = Scenario();
    s.diag_entry_answer = c.answer;
    s.echo = c.echo;
    if (!c.stray.empty()) s.stray_before_echo[0xAA] = c.stray;
    AwakeLink rig(s);
    rig.BringUp();
    LoadTestWindow(rig.app);
    EXPECT_EQ(rig.Sent(), std::vector<uint8_t>{0xAA});
    EXPECT_TRUE(rig.app.form1.loaded);
    if (c.entered) {
      EXPECT_EQ(LogLines(rig.app.form1.Rtb1), kEntered);
      EXPECT_TRUE(rig.services.message_boxes.empty());
    } else {
      // The answer itself is not logged; the message box comes 500 ms after the verdict.
      EXPECT_TRUE(LogLines(rig.app.form1.Rtb1).empty());
      EXPECT_EQ(rig.services.message_boxes, kFailed);
      EXPECT_EQ(rig.clock().sleeps().back(), 500u);
    }
  }
}

TEST(DiagnosticEntry, RequestLeavesAfterTheFixedPauses) {
  AwakeLink rig(Scenario());
  rig.BringUp();
  const uint32_t start = rig.clock().NowMs();
  LoadTestWindow(rig.app);
  const auto& sleeps = rig.clock().sleeps();
  ASSERT_GE(sleeps.size(), 3u);
  EXPECT_EQ(std::vector<uint32_t>(sleeps.begin(), sleeps.begin() + 3),
            (std::vector<uint32_t>{500, 28, 25}));
  bool found = false;
  for (const WireByte& w : rig.line.wire()) {
    if (w.from_program && w.byte == 0xAA && w.at_ms >= start) {
      EXPECT_EQ(w.at_ms - start, 528u);
      found = true;
    }
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(rig.line.in_diagnostic_mode());
}

TEST(DiagnosticEntry, ClosedPortSendsNothingAndReportsFailure) {
  AwakeLink rig(Scenario());  // never opened
  LoadTestWindow(rig.app);
  EXPECT_TRUE(rig.line.SentByProgram().empty());
  EXPECT_EQ(rig.clock().sleeps(), (std::vector<uint32_t>{500, 500}));
  EXPECT_EQ(rig.services.message_boxes, kFailed);
  EXPECT_TRUE(rig.app.form1.loaded);
}

TEST(DiagnosticExit, ConfirmedOnlyByFFFF) {
  struct Case {
    const char* what;
    std::vector<uint8_t> answer;
    bool confirmed;
  } cases[] = {
      {"FFFF", {0xFF}, true},
      {"FF00", {0x00}, false},
      {"silence", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EcuScenario s = Scenario();
    s.diag_exit_answer = c.answer;
    AwakeLink rig(s);
    rig.BringUp();
    LoadTestWindow(rig.app);
    rig.app.form1.Rtb1.Clear();
    const uint32_t start = rig.clock().NowMs();
    EXPECT_EQ(ExitDiagnosticMode(rig.app.protocol.MSComm1, rig.app.clock(), rig.app.form1.Rtb1),
              c.confirmed);
    EXPECT_EQ(rig.Sent(), (std::vector<uint8_t>{0xAA, 0xFF}));
    EXPECT_EQ(LogLines(rig.app.form1.Rtb1),
              c.confirmed ? std::vector<std::string>{"Exit diagnostic mode OK"}
                          : std::vector<std::string>{});
    // Gives up one pass after the 3000 ms limit at the latest.
    EXPECT_LE(rig.clock().NowMs() - start, 8u + 3000u + 1u + 4u);
  }
}

TEST(DiagnosticExit, ClosedPortSendsNothing) {
  AwakeLink rig(Scenario());
  EXPECT_FALSE(ExitDiagnosticMode(rig.app.protocol.MSComm1, rig.app.clock(), rig.app.form1.Rtb1));
  EXPECT_TRUE(rig.line.SentByProgram().empty());
  EXPECT_TRUE(rig.clock().sleeps().empty());
}

}  // namespace
}  // namespace velarin
