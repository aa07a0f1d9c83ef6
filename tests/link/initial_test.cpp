#include "link/initial.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/link_port.h"
#include "protocol/kline_codes.h"
#include "support/sim_rig.h"

namespace velarin {
namespace {

using testing::SimRig;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

constexpr char kWaitForIgnition[] = "Wait for ignition..";

Lines LogLines(const TraceLog& log) {
  Lines lines;
  const std::string& text = log.Text();
  size_t from = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  EXPECT_EQ(from, text.size()) << "the log ends in a line without CR LF";
  return lines;
}

EcuScenario Scenario(EcuFamily family, Bytes burst = {0x55, 0x01, 0x8A, 0x13, 0x27, 0x40}) {
  EcuScenario s = DefaultScenario(family);
  s.burst = std::move(burst);
  s.engine_model = false;
  return s;
}

// The state Connect leaves behind, so that what Initial changes shows.
void AsAfterConnect(SimRig& rig) {
  ASSERT_TRUE(rig.OpenPort());
  rig.form2().Label4.caption = kWaitForIgnition;
  rig.form2().Check1[0].enabled = false;
  rig.clock().ClearSleeps();
}

// Calls Initial as the polling loop would, a tick every 55 ms, until `init`.
void TickUntilInit(SimRig& rig, int max_ticks = 200) {
  for (int i = 0; i < max_ticks && !rig.protocol().init; ++i) {
    Initial(rig.app.form2, rig.app.protocol, rig.app.clock());
    if (!rig.protocol().init) rig.clock().Sleep(55);
  }
  ASSERT_TRUE(rig.protocol().init);
}

Bytes EcuBytes(const SimulatedLine& line) {
  Bytes bytes;
  for (const WireByte& w : line.wire()) {
    if (!w.from_program) bytes.push_back(w.byte);
  }
  return bytes;
}

Lines HandshakeLines() {
  return {"Tx => 0x0F", "Tx => 0xAA", "Tx => 0xCC", "init successfull", "7812"};
}

TEST(InitialTest, ClosedPortReturnsWithoutEffect) {
  SimRig rig(Scenario(EcuFamily::Ecu15m));
  rig.line.IgnitionOn();
  rig.clock().Advance(100);
  rig.clock().ClearSleeps();
  Initial(rig.app.form2, rig.app.protocol, rig.app.clock());
  EXPECT_FALSE(rig.protocol().init);
  EXPECT_EQ(rig.form2().Rtb1.Text(), "");
  EXPECT_TRUE(rig.clock().sleeps().empty());
  EXPECT_TRUE(rig.line.SentByProgram().empty());
}

TEST(InitialTest, NothingReceivedYetReturnsAtOnce) {
  SimRig rig(Scenario(EcuFamily::Ecu15m));
  AsAfterConnect(rig);
  const uint32_t before = rig.clock().NowMs();
  Initial(rig.app.form2, rig.app.protocol, rig.app.clock());
  EXPECT_FALSE(rig.protocol().init);
  EXPECT_FALSE(rig.form2().Check1[0].enabled);
  EXPECT_EQ(rig.form2().Label4.caption, kWaitForIgnition);
  EXPECT_EQ(rig.form2().Rtb1.Text(), "");
  EXPECT_EQ(rig.clock().NowMs(), before);
  EXPECT_TRUE(rig.line.SentByProgram().empty());
}

TEST(InitialTest, WaitsTickAfterTickUntilTheBurstComes) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  s.ignition_delay_ms = 1000;
  SimRig rig(s);
  AsAfterConnect(rig);
  rig.line.IgnitionOn();
  int quiet_ticks = 0;
  while (!rig.protocol().init && quiet_ticks < 100) {
    Initial(rig.app.form2, rig.app.protocol, rig.app.clock());
    if (rig.protocol().init) break;
    EXPECT_EQ(rig.form2().Rtb1.Text(), "");
    ++quiet_ticks;
    rig.clock().Sleep(55);
  }
  EXPECT_TRUE(rig.protocol().init);
  // The first byte is complete 9 ms after the burst starts at 1000 ms.
  EXPECT_EQ(quiet_ticks, 1009 / 55 + 1);
}

// How the ISO code is cut out of the burst's hex text.
struct BurstCase {
  const char* name;
  Bytes burst;
  std::string hex;
  std::string code;
};

class InitialBurstTest : public ::testing::TestWithParam<BurstCase> {};

TEST_P(InitialBurstTest, ShowsTheCodeAndAnswers) {
  const BurstCase& c = GetParam();
  SimRig rig(Scenario(EcuFamily::Ecu15m, c.burst));
  AsAfterConnect(rig);
  rig.line.IgnitionOn();
  TickUntilInit(rig);

  Lines expected = {"iso: ", "RX=> " + c.hex + " ",
                    "buff= " + c.hex + "  Lbuff= " + std::to_string(c.hex.size()), "Iso code OK"};
  for (const std::string& line : HandshakeLines()) expected.push_back(line);
  EXPECT_EQ(LogLines(rig.form2().Rtb1), expected);
  EXPECT_EQ(rig.form2().Text4.text, "Iso Code    : " + c.code + "\r\n");
  EXPECT_EQ(rig.form2().Label4.caption, "");
  EXPECT_TRUE(rig.form2().Check1[0].enabled);
  EXPECT_EQ(rig.line.SentByProgram(), (Bytes{0x0F, 0xAA, 0xCC}));
  EXPECT_EQ(rig.protocol().MSComm1.device->ReadBaud(), 7812);
  EXPECT_TRUE(rig.line.ecu_awake());
}

INSTANTIATE_TEST_SUITE_P(
    Bursts, InitialBurstTest,
    ::testing::Values(BurstCase{"SixBytesFrom55",
                                {0x55, 0x01, 0x8A, 0x13, 0x27, 0x40},
                                "55018A132740",
                                "55018A132740"},
                      BurstCase{"EightBytes55AtTheFifth",
                                {0x01, 0x02, 0x03, 0x04, 0x55, 0x66, 0x77, 0x88},
                                "0102030455667788",
                                "55667788"},
                      BurstCase{"EightBytesCodeCutAt12",
                                {0x55, 0x11, 0x22, 0x33, 0x44, 0x66, 0x77, 0x88},
                                "5511223344667788",
                                "551122334466"},
                      BurstCase{"AcrossAByteBoundary",
                                {0x10, 0x05, 0x5A, 0x20, 0x30, 0x40},
                                "10055A203040",
                                "55A203040"},
                      BurstCase{"No55ShowsEverything",
                                {0x01, 0x02, 0x03, 0x04, 0x06, 0x07},
                                "010203040607",
                                "010203040607"}),
    [](const ::testing::TestParamInfo<BurstCase>& info) { return info.param.name; });

TEST(InitialTest, SixteenMSwitchesTo7812LikeFifteenM) {
  SimRig rig(Scenario(EcuFamily::Ecu16m));
  AsAfterConnect(rig);
  rig.line.IgnitionOn();
  TickUntilInit(rig);
  const Lines log = LogLines(rig.form2().Rtb1);
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(Lines(log.end() - 5, log.end()), HandshakeLines());
  EXPECT_EQ(rig.protocol().MSComm1.device->ReadBaud(), 7812);
  EXPECT_TRUE(rig.line.ecu_awake());
}

// Measured on the line: the program's read, its three answers and its switch.
TEST(InitialTest, WireTimingToTheMillisecond) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  s.ignition_delay_ms = 17;  // burst 17..67 ms; the wait starts at the 55 ms tick
  SimRig rig(s, 7000);
  AsAfterConnect(rig);
  rig.line.IgnitionOn();
  TickUntilInit(rig);

  const std::vector<WireByte>& wire = rig.line.wire();
  std::vector<WireByte> from_ecu;
  std::vector<WireByte> from_program;
  for (const WireByte& w : wire) (w.from_program ? from_program : from_ecu).push_back(w);
  ASSERT_EQ(from_ecu.size(), 6u);
  ASSERT_EQ(from_program.size(), 3u);
  for (const WireByte& w : wire) EXPECT_EQ(w.sent_baud, 1200);

  // The sixth byte is complete at 7067, which is a poll pass of the wait (7055 + 4k).
  const uint32_t sixth = from_ecu[5].done_ms;
  EXPECT_EQ(sixth, 7067u);
  const ProgramRead* burst_read = nullptr;
  for (const ProgramRead& r : rig.line.reads()) {
    if (r.count >= 6 && burst_read == nullptr) burst_read = &r;
  }
  ASSERT_NE(burst_read, nullptr);
  EXPECT_EQ(burst_read->at_ms - sixth, 100u);
  EXPECT_EQ(from_program[0].at_ms - burst_read->at_ms, 518u);
  EXPECT_EQ(from_program[1].at_ms - from_program[0].at_ms, 110u);
  EXPECT_EQ(from_program[2].at_ms - from_program[1].at_ms, 110u);

  const std::vector<RateChange>& rates = rig.line.rate_changes();
  ASSERT_EQ(rates.size(), 2u);  // the open at 1200, the switch
  EXPECT_EQ(rates[1].baud, 7812);
  EXPECT_EQ(rates[1].at_ms - from_program[2].at_ms, 110u);
  EXPECT_EQ(rig.clock().NowMs(), rates[1].at_ms);
}

TEST(InitialTest, FifteenRcAnswersAtOnceEvenWithTheIgnitionOff) {
  SimRig rig(Scenario(EcuFamily::Ecu15Rc));
  AsAfterConnect(rig);
  const uint32_t start = rig.clock().NowMs();
  Initial(rig.app.form2, rig.app.protocol, rig.app.clock());

  Lines expected = {"initial => 15rc ecu, skip isocode "};
  for (const std::string& line : HandshakeLines()) expected.push_back(line);
  EXPECT_EQ(LogLines(rig.form2().Rtb1), expected);
  EXPECT_EQ(rig.form2().Text4.text, "");
  EXPECT_TRUE(rig.protocol().init);
  EXPECT_TRUE(rig.form2().Check1[0].enabled);
  EXPECT_EQ(rig.form2().Label4.caption, "");
  EXPECT_EQ(rig.protocol().MSComm1.device->ReadBaud(), 7812);
  ASSERT_EQ(rig.line.SentByProgram(), (Bytes{0x0F, 0xAA, 0xCC}));
  EXPECT_EQ(rig.line.wire()[0].at_ms - start, 518u);
  EXPECT_FALSE(rig.line.ecu_awake());  // nobody was listening
}

TEST(InitialTest, FifteenRcWithTheIgnitionOnWakesTheEcu) {
  SimRig rig(Scenario(EcuFamily::Ecu15Rc));
  AsAfterConnect(rig);
  rig.line.IgnitionOn();
  Initial(rig.app.form2, rig.app.protocol, rig.app.clock());
  EXPECT_TRUE(rig.line.ecu_awake());
  EXPECT_TRUE(EcuBytes(rig.line).empty());  // no burst from this family

  // The link works at the new rate: the first identification character comes back.
  SerialDevice& dev = *rig.protocol().MSComm1.device;
  (void)dev.ReadAll();
  ASSERT_TRUE(dev.WriteByte(kline::kIdentFirst));
  rig.clock().Advance(10);
  EXPECT_EQ(dev.ReadAll(), (Bytes{kline::kIdentFirst, 'V'}));
}

TEST(InitialTest, ShortBurstTimesOutWithoutAnswering) {
  SimRig rig(Scenario(EcuFamily::Ecu15m, {0x55, 0x01, 0x8A, 0x13}));
  AsAfterConnect(rig);
  rig.line.IgnitionOn();
  rig.clock().Advance(40);  // all four bytes are in
  const uint32_t start = rig.clock().NowMs();
  Initial(rig.app.form2, rig.app.protocol, rig.app.clock());

  EXPECT_TRUE(rig.protocol().init);
  EXPECT_TRUE(rig.form2().Check1[0].enabled);
  EXPECT_EQ(rig.form2().Rtb1.Text(), "");
  EXPECT_EQ(rig.form2().Text4.text, "");
  EXPECT_EQ(rig.form2().Label4.caption, kWaitForIgnition);
  EXPECT_TRUE(rig.line.SentByProgram().empty());
  ASSERT_EQ(rig.line.rate_changes().size(), 1u);
  EXPECT_EQ(rig.protocol().MSComm1.device->ReadBaud(), 1200);
  EXPECT_EQ(rig.protocol().MSComm1.device->BytesWaiting(), 4);  // nothing was read
  // The reading 3004 ms after the start is the first beyond 3000; its pass ends 4 ms later.
  EXPECT_EQ(rig.clock().NowMs() - start, 3008u);
  EXPECT_FALSE(rig.line.ecu_awake());
}

TEST(InitialTest, RefusedSwitchIsLoggedAsDoneAndLeaves1200) {
  SimRig rig(Scenario(EcuFamily::Ecu15m));
  AsAfterConnect(rig);
  rig.line.refuse_baud = true;
  rig.line.IgnitionOn();
  TickUntilInit(rig);
  const Lines log = LogLines(rig.form2().Rtb1);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "7812");
  EXPECT_EQ(rig.protocol().MSComm1.device->ReadBaud(), 1200);
  ASSERT_FALSE(rig.protocol().MSComm1.debug_trace.empty());
  EXPECT_EQ(rig.protocol().MSComm1.debug_trace.back().number, kErrSetBaud);
}

TEST(InitialTest, PortPulledDuringTheBurstWaitGivesUpQuietly) {
  SimRig rig(Scenario(EcuFamily::Ecu15m, {0x55, 0x01}));
  AsAfterConnect(rig);
  rig.line.IgnitionOn();
  rig.clock().Advance(20);
  rig.clock().Schedule(100, [&rig] { rig.line.Vanish(); });
  Initial(rig.app.form2, rig.app.protocol, rig.app.clock());
  EXPECT_TRUE(rig.protocol().init);
  EXPECT_TRUE(rig.line.SentByProgram().empty());
  EXPECT_EQ(rig.form2().Rtb1.Text(), "");
}

}  // namespace
}  // namespace velarin
