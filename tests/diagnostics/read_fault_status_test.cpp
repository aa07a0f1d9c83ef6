#include "diagnostics/read_fault_status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actuators/awake_link.h"
#include "forms/timer_on.h"

namespace velarin {
namespace {

using testing::AwakeLink;

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}

EcuScenario Faults(uint8_t fault1, uint8_t fault2, uint8_t detail) {
  EcuScenario s;
  s.family = EcuFamily::Ecu15m;
  s.fault1 = fault1;
  s.fault2 = fault2;
  s.detail = detail;
  return s;
}

const std::vector<uint8_t> kRequests = {0x0F, 0x10, 0x11};

TEST(ReadFaultStatus, PrintsTheReportOfTheEcuBytes) {
  struct Case {
    const char* what;
    uint8_t fault1, fault2, detail;
    std::vector<std::string> report;
  } cases[] = {
      {"all zero",
       0,
       0,
       0,
       {"Icv OK", "Enrichment OK ", "Air temp sensor OK ", "Knock OK ", "Water temp sensor OK ",
        "Lambda sensor OK    ", "Map sensor OK ", "Throttle sensor OK ", "OK", "Eprom OK ", "OK",
        "OK  ", "Crankshaft sensor OK"}},
      {"lean and two faults in one byte",
       0x03,
       0,
       0x01,
       {"Icv Blocked", "Maximum lean", "Air temp sensor OK ", "Knock OK ", "Water temp sensor OK ",
        "Lambda sensor OK    ", "Map sensor OK ", "Throttle sensor OK ", "OK", "Eprom OK ", "OK",
        "OK  ", "Crankshaft sensor OK"}},
      {"map and camshaft short",
       0x40,
       0x01,
       0x80,
       {"Icv OK", "Enrichment OK ", "Air temp sensor OK ", "Knock OK ", "Water temp sensor OK ",
        "Lambda sensor OK    ", "Map sensor Short circuit", "Throttle sensor OK ",
        "Camshaft sensor Short circuit", "Eprom OK ", "OK", "OK  ", "Crankshaft sensor OK"}},
      {"crankshaft open, ram",
       0,
       0xC0,
       0,
       {"Icv OK", "Enrichment OK ", "Air temp sensor OK ", "Knock OK ", "Water temp sensor OK ",
        "Lambda sensor OK    ", "Map sensor OK ", "Throttle sensor OK ", "OK", "Eprom OK ", "OK",
        "Ram Fault", "Crankshat sensor Open circuit "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AwakeLink rig(Faults(c.fault1, c.fault2, c.detail));
    rig.BringUp();
    TimerOn(rig.app.protocol.Timer1, rig.app.clock(), 20);
    ReadFaultStatus(rig.app.form2, rig.app.protocol, rig.app.clock());
    EXPECT_EQ(rig.app.form2.Rtb1.Text(), Lines(c.report));
    EXPECT_EQ(rig.Sent(), kRequests);
    EXPECT_TRUE(rig.app.protocol.Timer1.enabled);
    EXPECT_EQ(rig.app.protocol.Timer1.interval, 50);
    const auto& sleeps = rig.clock().sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 50u), 3);
  }
}

TEST(ReadFaultStatus, StopsThePollingWhileItUsesTheLink) {
  AwakeLink rig(Faults(0, 0, 0));
  rig.BringUp();
  TimerOn(rig.app.protocol.Timer1, rig.app.clock(), 50);
  bool seen_running = true;
  rig.clock().Schedule(30, [&] { seen_running = rig.app.protocol.Timer1.enabled; });
  ReadFaultStatus(rig.app.form2, rig.app.protocol, rig.app.clock());
  EXPECT_FALSE(seen_running);
  EXPECT_TRUE(rig.app.protocol.Timer1.enabled);
}

// Without an echo, the first byte the ECU sends stands where the echo belongs.
TEST(ReadFaultStatus, AdapterWithoutEchoReadsZeroUnlessTheAnswerLooksLikeIt) {
  EcuScenario s = Faults(0xFF, 0xFF, 0xFF);
  s.echo = false;
  s.answers[0x0F] = {0x03, 0x01};  // taken as a wrong echo: fault byte 1 reads 0
  s.answers[0x10] = {0x10, 0x04};  // happens to equal the request: fault byte 2 reads 0x04
  s.answers[0x11] = {0x00, 0xFF};
  AwakeLink rig(s);
  rig.BringUp();
  ReadFaultStatus(rig.app.form2, rig.app.protocol, rig.app.clock());
  EXPECT_EQ(
      rig.app.form2.Rtb1.Text(),
      Lines({"Icv OK", "Enrichment OK ", "Air temp sensor OK ", "Knock OK ",
             "Water temp sensor OK ", "Lambda sensor OK    ", "Map sensor OK ",
             "Throttle sensor OK ", "OK", "Eprom Fault", "OK", "OK  ", "Crankshaft sensor OK"}));
}

TEST(ReadFaultStatus, ATimeOutPrintsNothingAndRestartsThePolling) {
  for (uint8_t silent : kRequests) {
    SCOPED_TRACE(int(silent));
    EcuScenario s = Faults(0x01, 0x01, 0x01);
    s.answers[silent] = {};
    AwakeLink rig(s);
    rig.BringUp();
    const uint32_t start = rig.clock().NowMs();
    ReadFaultStatus(rig.app.form2, rig.app.protocol, rig.app.clock());
    EXPECT_EQ(rig.app.form2.Rtb1.Text(), "");
    EXPECT_EQ(rig.app.protocol.Timer1.interval, 50);
    EXPECT_TRUE(rig.app.protocol.Timer1.enabled);
    // The run stops at the silent request: nothing is sent after it.
    const std::vector<uint8_t> sent = rig.Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), silent);
    const int32_t spent = static_cast<int32_t>(rig.clock().NowMs() - start);
    EXPECT_GT(spent, 2000);
    EXPECT_LT(spent, 2000 + 3 * 100);
  }
}

TEST(ReadFaultStatus, AnswerWithStrayByteInFrontReadsZero) {
  EcuScenario s = Faults(0x08, 0, 0);
  s.stray_before_echo[0x0F] = {0x55};
  AwakeLink rig(s);
  rig.BringUp();
  ReadFaultStatus(rig.app.form2, rig.app.protocol, rig.app.clock());
  EXPECT_NE(rig.app.form2.Rtb1.Text().find("Knock OK \r\n"), std::string::npos);
}

}  // namespace
}  // namespace velarin
