// What the awake ECU answers, request by request, through the simulated line.

#include <gtest/gtest.h>

#include <vector>

#include "protocol/kline_codes.h"
#include "sim/engine_model.h"
#include "sim/simulated_line.h"

namespace velarin {
namespace {

using Bytes = std::vector<uint8_t>;

// An awake ECU of the scenario's family on a port at 7812.
class Awake {
 public:
  explicit Awake(EcuScenario s) : line_(clock_, std::move(s)) {
    SerialDevice& dev = line_.device();
    EXPECT_TRUE(dev.Open("/dev/ttyUSB0"));
    line_.IgnitionOn();
    clock_.Advance(100);
    if (line_.scenario().family != EcuFamily::EcuP8) {
      for (uint8_t b : kline::kWakeAnswer) {
        EXPECT_TRUE(dev.WriteByte(b));
        clock_.Advance(110);
      }
    }
    EXPECT_TRUE(line_.ecu_awake());
    EXPECT_TRUE(dev.WriteBaud(7812));
  }

  // The bytes after the echo that arrive within `ms`.
  Bytes Ask(uint8_t code, uint32_t ms = 20) {
    SerialDevice& dev = line_.device();
    (void)dev.ReadAll();
    EXPECT_TRUE(dev.WriteByte(code));
    clock_.Advance(ms);
    Bytes got = dev.ReadAll();
    EXPECT_FALSE(got.empty()) << "no echo";
    if (!got.empty()) got.erase(got.begin());
    return got;
  }

  VirtualClock clock_;
  SimulatedLine line_;
};

EcuScenario Plain(EcuFamily family) {
  EcuScenario s = DefaultScenario(family);
  s.engine_model = false;
  return s;
}

// Which codes a family answers outside diagnostic mode.
struct CodeCase {
  const char* name;
  EcuFamily family;
  uint8_t code;
  Bytes answer;
};

class EcuCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(EcuCodeTest, Answers) {
  const CodeCase& c = GetParam();
  EcuScenario s = Plain(c.family);
  s.raw = {{0x05, 0x21}, {0x09, 0x44}, {0x3A, 0x3A}, {0x0B, 0x90}};
  s.fault2 = 0x04;
  s.detail = 0x80;
  Awake ecu(s);
  EXPECT_EQ(ecu.Ask(c.code), c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, EcuCodeTest,
    ::testing::Values(CodeCase{"FirstIdent", EcuFamily::Ecu15m, 0x17, {'V'}},
                      CodeCase{"LastIdent", EcuFamily::Ecu15m, 0x20, {'7'}},
                      CodeCase{"FirstCalibration", EcuFamily::Ecu16m, 0x21, {'C'}},
                      CodeCase{"LastCalibration", EcuFamily::Ecu16m, 0x28, {'9'}},
                      CodeCase{"RawAdvance", EcuFamily::Ecu15m, 0x05, {0x21}},
                      CodeCase{"LiveCodeWithoutRaw", EcuFamily::Ecu15m, 0x06, {0x00}},
                      CodeCase{
                          "FifteenMTrimmerIsTheFaultRegister", EcuFamily::Ecu15m, 0x0F, {0x83}},
                      CodeCase{"FifteenMHasNo0B", EcuFamily::Ecu15m, 0x0B, {}},
                      CodeCase{"FifteenMHasNo3A", EcuFamily::Ecu15m, 0x3A, {}},
                      CodeCase{"FifteenRcSecondThrottleByte", EcuFamily::Ecu15Rc, 0x3A, {0x3A}},
                      CodeCase{"SixteenMTrimmer", EcuFamily::Ecu16m, 0x0B, {0x90}},
                      CodeCase{"SixteenMFaultRegisterOfItsOwn", EcuFamily::Ecu16m, 0x0F, {0x00}},
                      CodeCase{"P8Trimmer", EcuFamily::EcuP8, 0x0B, {0x90}},
                      CodeCase{"SecondFaultByte", EcuFamily::EcuP8, 0x10, {0x04}},
                      CodeCase{"DetailByte", EcuFamily::Ecu15m, 0x11, {0x80}},
                      CodeCase{"TestCodeOutsideDiagnosticMode", EcuFamily::Ecu15m, 0x80, {}},
                      CodeCase{"LeaveOutsideDiagnosticMode", EcuFamily::Ecu15m, 0xFF, {}},
                      CodeCase{"UnknownCode", EcuFamily::Ecu15m, 0x55, {}}),
    [](const auto& info) { return info.param.name; });

TEST(EcuProtocolTest, CodesBeyondTheTextGoUnanswered) {
  EcuScenario s = Plain(EcuFamily::Ecu15m);
  s.ident = "AB";
  Awake ecu(s);
  EXPECT_EQ(ecu.Ask(0x18), Bytes{'B'});
  EXPECT_EQ(ecu.Ask(0x19), Bytes{});
}

TEST(EcuProtocolTest, SetFaultByteHidesTheTrimmer) {
  EcuScenario s = Plain(EcuFamily::Ecu15m);
  s.fault1 = 0x02;
  Awake ecu(s);
  EXPECT_EQ(ecu.Ask(0x0F), Bytes{0x02});
}

// A session in the test window: each step is a byte sent, the bytes after its
// echo, and the modes the ECU is in afterwards.
struct Step {
  uint8_t send;
  Bytes answer;
  bool diagnostic;
  bool co;
};

void RunSession(Awake& ecu, const std::vector<Step>& steps) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    EXPECT_EQ(ecu.Ask(s.send), s.answer) << "step " << i;
    EXPECT_EQ(ecu.line_.in_diagnostic_mode(), s.diagnostic) << "step " << i;
    EXPECT_EQ(ecu.line_.in_co_regulation(), s.co) << "step " << i;
  }
}

TEST(EcuProtocolTest, DiagnosticModeAndCoRegulation) {
  Awake ecu(Plain(EcuFamily::Ecu15m));
  RunSession(ecu, {
                      {0xAA, {0xFF}, true, false},   // enter: "AAFF"
                      {0x80, {0xFF}, true, false},   // fuel pump: done at once
                      {0x01, {0xFF}, true, false},   // any code is a test here
                      {0x8D, {0x8D}, true, true},    // CO regulation
                      {0x7F, {0x7F}, true, true},    // trimmer byte confirmed
                      {0x8D, {0x8D}, true, true},    // a trimmer value, not a re-entry
                      {0xFF, {0xFF}, true, false},   // leaves CO regulation only
                      {0xFF, {0xFF}, false, false},  // leaves diagnostic mode: "FFFF"
                  });
  EXPECT_EQ(ecu.line_.ecu_trimmer(), 0x8D);
  EXPECT_EQ(ecu.Ask(0x0F), Bytes{0x8D});  // the 15m trimmer reads the new register
}

TEST(EcuProtocolTest, ScenarioAnswersForEntryAndUnconfirmedTrimmer) {
  EcuScenario s = Plain(EcuFamily::Ecu16m);
  s.diag_entry_answer = {0xAA};
  s.co_entry_answer = {0xFF};
  s.trimmer_confirm = false;
  Awake ecu(s);
  RunSession(ecu, {
                      {0xAA, {0xAA}, true, false},
                      {0x8D, {0xFF}, true, true},
                      {0x40, {}, true, true},
                  });
}

TEST(EcuProtocolTest, ScriptedAnswerReplacesTheBytesButNotTheModeChange) {
  EcuScenario s = Plain(EcuFamily::Ecu15m);
  s.answers[0xAA] = {0x12, 0xAA, 0xFF};
  Awake ecu(s);
  EXPECT_EQ(ecu.Ask(0xAA), (Bytes{0x12, 0xAA, 0xFF}));
  EXPECT_TRUE(ecu.line_.in_diagnostic_mode());
}

// Verdict timing: the first answer right after the echo, the rest later.
TEST(EcuProtocolTest, VerdictComesInTwoParts) {
  EcuScenario s = Plain(EcuFamily::Ecu15m);
  s.verdicts[0x86] = TestVerdict{{0x01}, 5000, {0xEE}};
  Awake ecu(s);
  ASSERT_EQ(ecu.Ask(0xAA), Bytes{0xFF});
  SerialDevice& dev = ecu.line_.device();
  const uint32_t t = ecu.clock_.NowMs();
  const size_t from = ecu.line_.wire().size();
  ASSERT_TRUE(dev.WriteByte(0x86));
  ecu.clock_.Advance(4);
  EXPECT_EQ(dev.ReadAll(), (Bytes{0x86, 0x01}));
  ecu.clock_.Advance(5000);
  EXPECT_EQ(dev.BytesWaiting(), 0);
  ecu.clock_.Advance(1);
  EXPECT_EQ(dev.ReadAll(), Bytes{0xEE});
  // First answer complete at 3.56 ms; the verdict starts 5000 ms after that.
  const std::vector<WireByte>& wire = ecu.line_.wire();
  ASSERT_EQ(wire.size(), from + 3);
  EXPECT_EQ(wire[from + 2].at_ms - t, 5003u);
  EXPECT_EQ(wire[from + 2].done_ms - t, 5005u);
}

TEST(EcuProtocolTest, SilentTestAndLaterVerdictAfterIgnitionOffIsDropped) {
  EcuScenario s = Plain(EcuFamily::Ecu15m);
  s.verdicts[0x80] = TestVerdict{{}, 2000, {0xFF}};
  Awake ecu(s);
  ASSERT_EQ(ecu.Ask(0xAA), Bytes{0xFF});
  EXPECT_EQ(ecu.Ask(0x80, 1000), Bytes{});
  ecu.line_.IgnitionOff();
  ecu.clock_.Advance(5000);
  EXPECT_EQ(ecu.line_.device().BytesWaiting(), 0);
}

TEST(EcuProtocolTest, InjectedBytesGoOutAtTheEcuRate) {
  Awake ecu(Plain(EcuFamily::Ecu15m));
  SerialDevice& dev = ecu.line_.device();
  (void)dev.ReadAll();  // burst and handshake echoes
  ecu.line_.InjectFromEcu({0x99});
  ecu.clock_.Advance(2);
  EXPECT_EQ(dev.ReadAll(), Bytes{0x99});
  ASSERT_TRUE(dev.WriteBaud(1200));
  ecu.line_.InjectFromEcu({0x99});
  ecu.clock_.Advance(20);
  EXPECT_EQ(dev.BytesWaiting(), 0);  // sent at 7812, not understood at 1200
}

TEST(EcuProtocolTest, PeriodHalvesComeFromOneSample) {
  Awake ecu(DefaultScenario(EcuFamily::Ecu15m));  // ignition on at 0 ms
  for (uint32_t gap : {8u, 300u, 2000u}) {
    const uint32_t asked = ecu.clock_.NowMs();
    const Bytes hi = ecu.Ask(kline::kRpmHigh, gap);
    const Bytes lo = ecu.Ask(kline::kRpmLow, 10);
    // The ECU hears the request 1.28 ms after it is written.
    const EngineState at = EngineAt(1, asked + 1);
    EXPECT_EQ(hi, Bytes{*EncodeLive(EcuFamily::Ecu15m, kline::kRpmHigh, at)}) << gap;
    EXPECT_EQ(lo, Bytes{*EncodeLive(EcuFamily::Ecu15m, kline::kRpmLow, at)}) << gap;
  }
  // A low byte asked on its own is sampled when asked.
  const uint32_t asked = ecu.clock_.NowMs();
  EXPECT_EQ(ecu.Ask(kline::kInjectionLow),
            Bytes{*EncodeLive(EcuFamily::Ecu15m, kline::kInjectionLow, EngineAt(1, asked + 1))});
}

}  // namespace
}  // namespace velarin
