#include "sim/simulated_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "protocol/kline_codes.h"

namespace velarin {
namespace {

using Bytes = std::vector<uint8_t>;

EcuScenario Plain(EcuFamily family) {
  EcuScenario s = DefaultScenario(family);
  s.engine_model = false;
  return s;
}

// A line whose port the test drives directly, as the program would.
class LineTest : public ::testing::Test {
 protected:
  explicit LineTest(EcuScenario scenario = Plain(EcuFamily::Ecu15m))
      : line_(std::make_unique<SimulatedLine>(clock_, std::move(scenario))) {}

  SerialDevice& dev() { return line_->device(); }
  SimulatedLine& line() { return *line_; }

  // Ignition on, burst read, handshake at 1200, port switched to 7812.
  void WakeUp() {
    ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
    line().IgnitionOn();
    clock_.Advance(200);
    (void)dev().ReadAll();
    for (uint8_t b : kline::kWakeAnswer) {
      ASSERT_TRUE(dev().WriteByte(b));
      clock_.Advance(110);
    }
    ASSERT_TRUE(line().ecu_awake());
    ASSERT_TRUE(dev().WriteBaud(7812));
    (void)dev().ReadAll();
  }

  // Sends one byte and returns everything that arrived within `ms`.
  Bytes Ask(uint8_t code, uint32_t ms = 20) {
    (void)dev().ReadAll();
    EXPECT_TRUE(dev().WriteByte(code));
    clock_.Advance(ms);
    return dev().ReadAll();
  }

  // The ECU's bytes on the wire from `from` on.
  std::vector<WireByte> EcuWire(size_t from = 0) {
    std::vector<WireByte> out;
    const auto& wire = line().wire();
    for (size_t i = from; i < wire.size(); ++i) {
      if (!wire[i].from_program) out.push_back(wire[i]);
    }
    return out;
  }

  VirtualClock clock_{1000};
  std::unique_ptr<SimulatedLine> line_;
};

// --- The device -----------------------------------------------------------

TEST_F(LineTest, OpenFailsForAMissingPathWithTheOsReason) {
  EXPECT_FALSE(dev().Open("/dev/does-not-exist"));
  EXPECT_FALSE(dev().IsOpen());
  EXPECT_EQ(dev().LastError(), "No such file or directory");
  EXPECT_TRUE(dev().Open("/dev/ttyUSB3"));
}

TEST_F(LineTest, EveryOpenStartsAt1200) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  EXPECT_EQ(dev().ReadBaud(), 1200);
  ASSERT_TRUE(dev().WriteBaud(7812));
  EXPECT_EQ(dev().ReadBaud(), 7812);
  dev().Close();
  EXPECT_EQ(dev().ReadBaud(), std::nullopt);
  EXPECT_FALSE(dev().WriteBaud(7812));
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  EXPECT_EQ(dev().ReadBaud(), 1200);
}

TEST_F(LineTest, ClosedPortLosesWhatArrives) {
  line().IgnitionOn();
  clock_.Advance(100);  // the whole burst goes by
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  EXPECT_EQ(dev().BytesWaiting(), 0);
  EXPECT_FALSE(dev().DataArrived());
  EXPECT_EQ(EcuWire().size(), 6u);  // it was on the wire all the same
}

TEST_F(LineTest, DataArrivedIsSetByTheFirstByteSinceOpen) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(8);
  EXPECT_FALSE(dev().DataArrived());  // the first byte needs 8.33 ms
  clock_.Advance(1);
  EXPECT_TRUE(dev().DataArrived());
  EXPECT_EQ(dev().BytesWaiting(), 1);
  (void)dev().ReadAll();
  EXPECT_TRUE(dev().DataArrived());  // reading does not clear it
  dev().Close();
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  EXPECT_FALSE(dev().DataArrived());  // reopening does
}

TEST_F(LineTest, VanishedAdapterCannotBeReopenedUntilRestored) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(30);
  line().Vanish();
  EXPECT_FALSE(dev().IsOpen());
  EXPECT_TRUE(dev().Vanished());
  EXPECT_EQ(dev().BytesWaiting(), 0);
  EXPECT_TRUE(dev().ReadAll().empty());
  EXPECT_FALSE(dev().WriteByte(0x17));
  EXPECT_EQ(dev().LastError(), "Input/output error");
  EXPECT_FALSE(dev().Open("/dev/ttyUSB0"));
  EXPECT_EQ(dev().LastError(), "No such file or directory");
  EXPECT_TRUE(dev().Vanished());
  line().Restore();
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  EXPECT_FALSE(dev().Vanished());
}

TEST_F(LineTest, ReceiveBufferHoldsAtMost1024Bytes) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().InjectFromEcu(Bytes(1100, 0x5A));
  clock_.Advance(20000);
  EXPECT_EQ(dev().BytesWaiting(), 1024);
}

TEST_F(LineTest, AdapterQuirksShowThroughTheDevice) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().adapter_rates[7812] = 9600;
  ASSERT_TRUE(dev().WriteBaud(7812));
  EXPECT_EQ(dev().ReadBaud(), 9600);
  line().unreadable_baud = true;
  EXPECT_EQ(dev().ReadBaud(), std::nullopt);
  line().refuse_baud = true;
  EXPECT_FALSE(dev().WriteBaud(1200));
  EXPECT_FALSE(dev().WriteBaud(-5));
}

TEST(LineLifetimeTest, ClockOutlivingTheLineRunsNothingOfIt) {
  VirtualClock clock;
  {
    SimulatedLine line(clock, Plain(EcuFamily::Ecu15m));
    ASSERT_TRUE(line.device().Open("/dev/ttyUSB0"));
    line.IgnitionOn();
    clock.Advance(10);
  }
  clock.Advance(1000);  // the rest of the burst is due now; nothing may touch the dead line
}

// --- Echo, rates and pacing -----------------------------------------------

TEST_F(LineTest, AdapterEchoesEvenWhenTheEcuIsOff) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  EXPECT_EQ(Ask(0x17), Bytes{0x17});
}

TEST(LineEchoTest, WithoutEchoOnlyTheAnswerArrives) {
  VirtualClock clock;
  EcuScenario s = Plain(EcuFamily::EcuP8);
  s.echo = false;
  SimulatedLine line(clock, s);
  ASSERT_TRUE(line.device().Open("/dev/ttyUSB0"));
  ASSERT_TRUE(line.device().WriteBaud(7812));
  line.IgnitionOn();
  ASSERT_TRUE(line.device().WriteByte(0x17));
  clock.Advance(10);
  EXPECT_EQ(line.device().ReadAll(), Bytes{'V'});
}

// Which rates understand each other: the ECU hears and is heard only at its own.
struct RateCase {
  const char* name;
  int32_t program_baud;  // the rate the program's port runs at when it asks 0x17
  bool answered;
};

class LineRateTest : public LineTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(LineRateTest, AwakeEcuAnswersOnlyAtItsRate) {
  WakeUp();
  line().adapter_rates[4242] = GetParam().program_baud;  // whatever the adapter really runs
  ASSERT_TRUE(dev().WriteBaud(4242));
  const Bytes got = Ask(kline::kIdentFirst, 30);
  EXPECT_EQ(got, GetParam().answered ? (Bytes{0x17, 'V'}) : Bytes{0x17});
}

INSTANTIATE_TEST_SUITE_P(Rates, LineRateTest,
                         ::testing::Values(RateCase{"Exact", 7812, true},
                                           RateCase{"SixteenFiftyClock", 7680, true},
                                           RateCase{"RoundedUp", 7813, true},
                                           RateCase{"OldBridgeAt9600", 9600, false},
                                           RateCase{"StillAt1200", 1200, false},
                                           RateCase{"NineteenTwoHundred", 19200, false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(LineTest, BurstIsLostOnAPortAlreadyAt7812) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  ASSERT_TRUE(dev().WriteBaud(7812));
  line().IgnitionOn();
  clock_.Advance(100);
  EXPECT_EQ(dev().BytesWaiting(), 0);
  EXPECT_FALSE(dev().DataArrived());
}

TEST_F(LineTest, HandshakeAt7812IsNotHeard) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(100);
  ASSERT_TRUE(dev().WriteBaud(7812));
  for (uint8_t b : kline::kWakeAnswer) {
    ASSERT_TRUE(dev().WriteByte(b));
    clock_.Advance(110);
  }
  EXPECT_FALSE(line().ecu_awake());
}

TEST_F(LineTest, HandshakeMustComeInOrder) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(100);
  for (uint8_t b : {0x0F, 0xCC, 0xAA, 0xCC}) {
    ASSERT_TRUE(dev().WriteByte(b));
    clock_.Advance(20);
  }
  EXPECT_FALSE(line().ecu_awake());
  for (uint8_t b : {0x0F, 0x0F, 0xAA, 0xCC}) {  // a repeated first byte starts over
    ASSERT_TRUE(dev().WriteByte(b));
    clock_.Advance(20);
  }
  EXPECT_TRUE(line().ecu_awake());
}

TEST_F(LineTest, BurstBytesArePacedAt1200WithoutDrift) {
  line().scenario().burst = Bytes(120, 0x55);
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(2000);
  const std::vector<WireByte> ecu = EcuWire();
  ASSERT_EQ(ecu.size(), 120u);
  const uint32_t starts[] = {1000, 1008, 1016, 1024, 1033, 1041};  // 8.33 ms apart
  for (size_t i = 0; i < std::size(starts); ++i) EXPECT_EQ(ecu[i].at_ms, starts[i]) << i;
  EXPECT_EQ(ecu[0].done_ms, 1009u);
  EXPECT_EQ(ecu[119].done_ms, 2000u);  // 120 bytes are one second at 1200 baud
}

TEST_F(LineTest, AnswerFollowsEchoAfterTheLatencyBackToBack) {
  WakeUp();
  line().scenario().answers[0x42] = {0x01, 0x02, 0x03};
  const size_t from = line().wire().size();
  const uint32_t t = clock_.NowMs();
  ASSERT_TRUE(dev().WriteByte(0x42));
  clock_.Advance(1);
  EXPECT_EQ(dev().BytesWaiting(), 0);
  clock_.Advance(1);
  EXPECT_EQ(dev().ReadAll(), Bytes{0x42});  // echo complete after 1.28 ms
  clock_.Advance(20);
  EXPECT_EQ(dev().ReadAll(), (Bytes{0x01, 0x02, 0x03}));
  // 1.28 ms request, 1 ms latency, then 1.28 ms a byte.
  const std::vector<WireByte> ecu = EcuWire(from);
  ASSERT_EQ(ecu.size(), 3u);
  EXPECT_EQ(ecu[0].at_ms - t, 2u);  // starts at 2.28
  EXPECT_EQ(ecu[0].done_ms - t, 4u);
  EXPECT_EQ(ecu[1].done_ms - t, 5u);
  EXPECT_EQ(ecu[2].done_ms - t, 7u);
  for (const WireByte& w : ecu) EXPECT_EQ(w.sent_baud, 7812);
}

TEST_F(LineTest, SlowCodeAnswersLater) {
  WakeUp();
  line().scenario().latency_for[0x17] = 40;
  const size_t from = line().wire().size();
  const uint32_t t = clock_.NowMs();
  EXPECT_EQ(Ask(0x17, 60), (Bytes{0x17, 'V'}));
  EXPECT_EQ(EcuWire(from)[0].done_ms - t, 43u);  // 1.28 + 40 + 1.28
}

TEST_F(LineTest, StrayBytesArriveInFrontOfTheEcho) {
  WakeUp();
  line().scenario().stray_before_echo[0x0B] = {0x33};
  line().scenario().family = EcuFamily::Ecu16m;
  EXPECT_EQ(Ask(0x0B), (Bytes{0x33, 0x0B, 0x83}));
}

TEST_F(LineTest, ProgramBytesWrittenTogetherQueueOnTheWire) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  const uint32_t t = clock_.NowMs();
  ASSERT_TRUE(dev().WriteByte(0x01));
  ASSERT_TRUE(dev().WriteByte(0x02));
  clock_.Advance(30);
  ASSERT_EQ(line().wire().size(), 2u);
  EXPECT_EQ(line().wire()[1].at_ms - t, 8u);  // after the first one's 8.33 ms
  EXPECT_EQ(dev().ReadAll(), (Bytes{0x01, 0x02}));
}

// --- Ignition ------------------------------------------------------------

TEST_F(LineTest, IgnitionDelayPostponesTheBurst) {
  line().scenario().ignition_delay_ms = 500;
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(500);
  EXPECT_EQ(dev().BytesWaiting(), 0);
  clock_.Advance(60);
  EXPECT_EQ(dev().BytesWaiting(), 6);
}

TEST_F(LineTest, IgnitionOffCutsTheBurstAndForgetsTheHandshake) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(20);
  line().IgnitionOff();
  clock_.Advance(100);
  EXPECT_EQ(dev().ReadAll().size(), 2u);
  line().IgnitionOn();  // a fresh burst, and the ECU waits for the handshake anew
  clock_.Advance(100);
  EXPECT_EQ(dev().ReadAll().size(), 6u);
  EXPECT_FALSE(line().ecu_awake());
}

TEST_F(LineTest, IgnitionOnTwiceSendsOneBurst) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  line().IgnitionOn();
  clock_.Advance(30);
  line().IgnitionOn();
  clock_.Advance(200);
  EXPECT_EQ(EcuWire().size(), 6u);
}

TEST_F(LineTest, EcuSwitchedOffAnswersNothing) {
  WakeUp();
  line().IgnitionOff();
  EXPECT_EQ(Ask(0x17), Bytes{0x17});
  EXPECT_FALSE(line().ecu_awake());
}

TEST(LineFamilyTest, FifteenRcWakesWithoutABurst) {
  VirtualClock clock;
  SimulatedLine line(clock, Plain(EcuFamily::Ecu15Rc));
  SerialDevice& dev = line.device();
  ASSERT_TRUE(dev.Open("/dev/ttyUSB0"));
  line.IgnitionOn();
  clock.Advance(100);
  EXPECT_FALSE(dev.DataArrived());
  for (uint8_t b : kline::kWakeAnswer) ASSERT_TRUE(dev.WriteByte(b));
  clock.Advance(50);
  EXPECT_TRUE(line.ecu_awake());
}

TEST(LineFamilyTest, P8IsAwakeAt7812AtOnce) {
  VirtualClock clock;
  SimulatedLine line(clock, Plain(EcuFamily::EcuP8));
  SerialDevice& dev = line.device();
  ASSERT_TRUE(dev.Open("/dev/ttyUSB0"));
  ASSERT_TRUE(dev.WriteBaud(7812));
  line.IgnitionOn();
  clock.Advance(100);
  EXPECT_FALSE(dev.DataArrived());
  EXPECT_TRUE(line.ecu_awake());
  ASSERT_TRUE(dev.WriteByte(0x17));
  clock.Advance(10);
  EXPECT_EQ(dev.ReadAll(), (Bytes{0x17, 'V'}));
}

}  // namespace
}  // namespace velarin
