#include "connection/connect_switch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection/connection_fixture.h"
#include "forms/captions.h"
#include "forms/timer_on.h"

namespace velarin {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kCallInitial = "init = false => call initial ";

// The window's state and the steps every test of the switch uses.
template <typename Base>
class SwitchRig : public testing::ConnectionRig<Base> {
 protected:
  Form2& f() { return this->app_.form2; }
  ProtocolState& p() { return this->app_.protocol; }

  // Connects, then runs until the connection has reached live data.
  void ConnectToLiveData() {
    ClickConnectSwitch(this->app_);
    ASSERT_TRUE(p().MSComm1.PortOpen());
    ASSERT_TRUE(this->RunUntil([&] { return p().cal_ask; }));
  }
  void ExpectQuiet(uint32_t ms) { testing::ExpectQuiet(this->loop_, *this->line_, f(), ms); }
};

class ConnectSwitchTest : public SwitchRig<::testing::Test> {};

TEST_F(ConnectSwitchTest, ConnectOpensThePortAndStartsPolling) {
  Load(EcuFamily::Ecu15m);
  const uint32_t before = clock_.NowMs();
  ClickConnectSwitch(app_);
  EXPECT_EQ(LogLines(), Lines{"1200bds"});
  EXPECT_TRUE(p().MSComm1.PortOpen());
  EXPECT_EQ(p().MSComm1.baud, 1200);
  EXPECT_EQ(f().Shape1.fill_color, kColorGreen);
  EXPECT_TRUE(f().Check2.value);
  EXPECT_EQ(f().Check2.caption, captions::kDisconnect);
  EXPECT_EQ(f().Label4.caption, captions::kWaitForIgnition);
  EXPECT_TRUE(p().Timer1.enabled);
  EXPECT_EQ(p().Timer1.interval, 50);
  EXPECT_FALSE(p().init);
  EXPECT_EQ(f().status_bar, std::string("Port open: ") + testing::kVirtualPort);
  // The 8 ms settle pause before the flush, and the timer started after it.
  EXPECT_EQ(clock_.sleeps(), (std::vector<uint32_t>{8}));
  EXPECT_EQ(p().Timer1.restarted_at, before + 8);
}

// The burst families: every tick asks for the wake-up until the burst is in, and
// the tick that catches it carries on through information, calibration and the
// first live-data frame.
struct BurstCase {
  EcuFamily family;
  const char* ident;
};

void PrintTo(const BurstCase& c, std::ostream* os) { *os << c.ident; }

class BurstFamilyTest : public SwitchRig<::testing::TestWithParam<BurstCase>> {};

TEST_P(BurstFamilyTest, WakesUpAndCarriesOnInOneTick) {
  const BurstCase& c = GetParam();
  Load(c.family);
  ClickConnectSwitch(app_);
  clock_.Schedule(500, [&] { line_->IgnitionOn(); });
  ASSERT_TRUE(RunUntil([&] { return p().init; }));
  // Carried on in the same tick.
  EXPECT_TRUE(p().ecuinf);
  EXPECT_TRUE(p().cal_ask);
  EXPECT_EQ(p().live_frames, 1u);

  const Lines lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "1200bds");
  size_t k = 1;
  while (k < lines.size() && lines[k] == kCallInitial) ++k;
  EXPECT_GE(k - 1, 10u) << "one line per tick while the ECU is silent";
  const Lines tail(lines.begin() + k, lines.end());
  EXPECT_EQ(tail,
            (Lines{"iso: ", "RX=> 55018A132740 ", "buff= 55018A132740  Lbuff= 12", "Iso code OK",
                   "Tx => 0x0F", "Tx => 0xAA", "Tx => 0xCC", "init successfull", "7812",
                   "ask ecu info... ", std::string("Ecu info: 0 ") + c.ident, "Cal: 0 "}));
  EXPECT_EQ(f().Text4.text,
            std::string("Iso Code    : 55018A132740\r\necu data    : ") + c.ident + "\r\n");
  EXPECT_EQ(f().Label4.caption, "");
  EXPECT_TRUE(f().test.enabled);
  EXPECT_TRUE(f().Command11.enabled);
  EXPECT_EQ(p().MSComm1.baud, 7812);
  EXPECT_TRUE(line_->ecu_awake());
  EXPECT_EQ(SentInRange(0x17, 0x20),
            (std::vector<uint8_t>{0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20}));
  EXPECT_TRUE(SentInRange(0x21, 0x28).empty()) << "calibration is off by default";

  // Every later tick reads one more frame.
  RunTicks(3);
  EXPECT_EQ(p().live_frames, 4u);
  ClickConnectSwitch(app_);
  testing::ExpectDisconnected(this->app_);
}

INSTANTIATE_TEST_SUITE_P(Families, BurstFamilyTest,
                         ::testing::Values(BurstCase{EcuFamily::Ecu15m, "ID0ABCDEFG"},
                                           BurstCase{EcuFamily::Ecu16m, "ID2ABCDEFG"}));

struct Rc15Case {
  bool ignition;
  const char* info_line;
  const char* text4;
};

void PrintTo(const Rc15Case& c, std::ostream* os) { *os << (c.ignition ? "on" : "off"); }

class Family15RcTest : public SwitchRig<::testing::TestWithParam<Rc15Case>> {};

TEST_P(Family15RcTest, AnswersAtOnceOnTheFirstTick) {
  const Rc15Case& c = GetParam();
  Load(EcuFamily::Ecu15Rc);
  if (c.ignition) line_->IgnitionOn();
  ClickConnectSwitch(app_);
  RunTicks(1);
  EXPECT_EQ(LogLines(), (Lines{"1200bds", kCallInitial, "initial => 15rc ecu, skip isocode ",
                               "Tx => 0x0F", "Tx => 0xAA", "Tx => 0xCC", "init successfull", "7812",
                               "ask ecu info... ", c.info_line, "Cal: 0 "}));
  EXPECT_EQ(f().Text4.text, c.text4);
  EXPECT_TRUE(p().init && p().ecuinf && p().cal_ask);
  EXPECT_EQ(p().MSComm1.baud, 7812);
  EXPECT_EQ(line_->ecu_awake(), c.ignition);
}

INSTANTIATE_TEST_SUITE_P(
    Ignition, Family15RcTest,
    ::testing::Values(Rc15Case{true, "Ecu info: 0 ID1ABCDEFG", "ecu data    : ID1ABCDEFG\r\n"},
                      // With the ignition off the first identification code is never answered.
                      Rc15Case{false, "Ecu info: 3004 ", ""}));

TEST_F(ConnectSwitchTest, P8IsUpAtConnectAndReadsInformationOnTheFirstTick) {
  Load(EcuFamily::EcuP8);
  line_->IgnitionOn();
  f().Check1[7].value = false;  // a cleared battery selector stays cleared
  ClickConnectSwitch(app_);
  EXPECT_EQ(LogLines(), (Lines{"1200bds", "7812"}));
  EXPECT_TRUE(p().init);
  EXPECT_FALSE(p().ecuinf);
  EXPECT_EQ(p().MSComm1.baud, 7812);
  const bool expected_selectors[kChannelCount] = {false, false, false, false, false,
                                                  false, true,  false, false};
  for (int i = 0; i < kChannelCount; ++i)
    EXPECT_EQ(f().Check1[i].value, expected_selectors[i]) << i;
  EXPECT_EQ(f().Label4.caption, captions::kWaitForIgnition);
  EXPECT_TRUE(p().Timer1.enabled);
  EXPECT_EQ(p().Timer1.interval, 50);

  RunTicks(1);
  EXPECT_EQ(LogLines(),
            (Lines{"1200bds", "7812", "ask ecu info... ", "Ecu info: 0 ID3ABCDEFG", "Cal: 0 "}));
  EXPECT_EQ(f().Text4.text, "ecu data    : ID3ABCDEFG\r\n");
  EXPECT_EQ(f().Label4.caption, "") << "the first P8 frame of the tick clears it";
  EXPECT_TRUE(f().test.enabled);
  EXPECT_TRUE(f().Command11.enabled);
  EXPECT_TRUE(SentInRange(0x0F, 0x0F).empty()) << "no handshake for P8";
  ASSERT_GE(line_->rate_changes().size(), 2u);
  EXPECT_EQ(line_->rate_changes()[0].baud, 1200);
  EXPECT_EQ(line_->rate_changes()[1].baud, 7812);
  EXPECT_EQ(line_->rate_changes()[1].at_ms, line_->rate_changes()[0].at_ms) << "at Connect";
}

TEST_F(ConnectSwitchTest, P8DisconnectQueuedDuringConnectLeavesThePollingOff) {
  Load(EcuFamily::EcuP8);
  line_->IgnitionOn();
  // A double click: the second one waits in the queue and runs inside the yield of
  // the first selector that the P8 Connect clears; the switch's second test (released?)
  // then stops the timer that the rest of Connect started.
  loop_.Post([&] { ClickConnectSwitch(app_); });
  loop_.Post([&] { ClickConnectSwitch(app_); });
  loop_.RunFor(1000);
  testing::ExpectDisconnected(this->app_);
  EXPECT_EQ(loop_.ticks_run(), 0u);
  EXPECT_EQ(LogLines(), (Lines{"1200bds", "7812"}));
}

struct MissingPortCase {
  EcuFamily family;
  Lines log;
};

void PrintTo(const MissingPortCase& c, std::ostream* os) { *os << c.log.size() << " lines"; }

class MissingPortTest : public SwitchRig<::testing::TestWithParam<MissingPortCase>> {};

TEST_P(MissingPortTest, LeavesTheSwitchPressedAndThePollingOff) {
  const MissingPortCase& c = GetParam();
  Load(c.family);
  p().MSComm1.device_path = "/dev/does-not-exist";
  const uint32_t lamp = f().Shape1.fill_color;
  ClickConnectSwitch(app_);
  EXPECT_EQ(LogLines(), c.log);
  EXPECT_FALSE(p().MSComm1.PortOpen());
  EXPECT_TRUE(f().Check2.value) << "the switch stays pressed";
  EXPECT_EQ(f().Check2.caption, captions::kConnect);
  EXPECT_EQ(f().Shape1.fill_color, lamp);
  EXPECT_FALSE(p().Timer1.enabled);
  EXPECT_EQ(f().status_bar, "Cannot open /dev/does-not-exist: No such file or directory");
  ExpectQuiet(2000);

  // Releasing the switch runs Disconnect over the closed port.
  ClickConnectSwitch(app_);
  testing::ExpectDisconnected(this->app_);
  EXPECT_EQ(f().Shape1.fill_color, lamp);
  EXPECT_EQ(LogLines(), c.log);
}

INSTANTIATE_TEST_SUITE_P(Families, MissingPortTest,
                         ::testing::Values(MissingPortCase{EcuFamily::Ecu15m, {"1200bds"}},
                                           MissingPortCase{EcuFamily::Ecu15Rc, {"1200bds"}},
                                           MissingPortCase{EcuFamily::Ecu16m, {"1200bds"}},
                                           MissingPortCase{EcuFamily::EcuP8, {"1200bds", "7812"}}));

TEST_F(ConnectSwitchTest, ComBoxWithoutANumber) {
  Load(EcuFamily::Ecu15m);
  p().MSComm1.device_path.clear();
  SetComText(app_, "abc");
  ClickConnectSwitch(app_);
  EXPECT_EQ(LogLines(), Lines{"1200bds"});
  EXPECT_FALSE(p().MSComm1.PortOpen());
  EXPECT_EQ(f().Check2.caption, captions::kConnect);
  EXPECT_EQ(f().status_bar, "No serial port has the number 0");
}

TEST_F(ConnectSwitchTest, HalfwayNumberOpensTheEvenPort) {
  Load(EcuFamily::Ecu15m);
  p().MSComm1.device_path.clear();
  SetComText(app_, "3.5");
  ClickConnectSwitch(app_);
  EXPECT_EQ(p().MSComm1.CommPort, 4);
  EXPECT_EQ(f().status_bar, "Port open: " + DevicePathForPort(4));
}

class DisconnectTest;

struct StateCase {
  const char* name;
  EcuFamily family;
  void (*reach)(DisconnectTest&);
  bool was_open;
};

void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

class DisconnectTest : public SwitchRig<::testing::TestWithParam<StateCase>> {
 public:
  void WaitingForTheEcu() {
    ClickConnectSwitch(app_);
    RunTicks(3);
    ASSERT_FALSE(p().init);
  }
  void ReadingInformation() {
    line_->IgnitionOn();
    ClickConnectSwitch(app_);
    ASSERT_TRUE(p().init && !p().ecuinf);
  }
  void ReadingCalibration() {
    ReadingInformation();
    ClickEcuInfoButton(app_);
    ASSERT_TRUE(p().ecuinf && !p().cal_ask);
  }
  void LiveData() {
    line_->IgnitionOn();
    ConnectToLiveData();
    RunTicks(2);
  }
  void PortNeverOpened() {
    p().MSComm1.device_path = "/dev/does-not-exist";
    ClickConnectSwitch(app_);
  }
};

TEST_P(DisconnectTest, ReturnsToDisconnected) {
  const StateCase& c = GetParam();
  Load(c.family);
  c.reach(*this);
  if (HasFatalFailure()) return;
  const uint32_t lamp = f().Shape1.fill_color;
  ClickConnectSwitch(app_);
  testing::ExpectDisconnected(this->app_);
  EXPECT_EQ(f().Shape1.fill_color, c.was_open ? kColorRed : lamp);
  EXPECT_EQ(f().status_bar, "");
  ExpectQuiet(2000);
}

INSTANTIATE_TEST_SUITE_P(
    States, DisconnectTest,
    ::testing::Values(StateCase{"waiting", EcuFamily::Ecu15m,
                                [](DisconnectTest& t) { t.WaitingForTheEcu(); }, true},
                      StateCase{"information", EcuFamily::EcuP8,
                                [](DisconnectTest& t) { t.ReadingInformation(); }, true},
                      StateCase{"calibration", EcuFamily::EcuP8,
                                [](DisconnectTest& t) { t.ReadingCalibration(); }, true},
                      StateCase{"live", EcuFamily::Ecu15Rc, [](DisconnectTest& t) { t.LiveData(); },
                                true},
                      StateCase{"never_opened", EcuFamily::Ecu15m,
                                [](DisconnectTest& t) { t.PortNeverOpened(); }, false}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

TEST_F(ConnectSwitchTest, ReconnectStartsOverAt1200) {
  Load(EcuFamily::Ecu15Rc);
  line_->IgnitionOn();
  ConnectToLiveData();
  ClickConnectSwitch(app_);
  const size_t lines = LogLines().size();
  ClickConnectSwitch(app_);
  EXPECT_EQ(p().MSComm1.baud, 1200);
  EXPECT_EQ(line_->rate_changes().back().baud, 1200);
  EXPECT_FALSE(p().init);
  RunTicks(1);
  const Lines since = LogSince(lines);
  ASSERT_GE(since.size(), 3u);
  EXPECT_EQ(since[0], "1200bds");
  EXPECT_EQ(since[1], kCallInitial);
  EXPECT_EQ(since[2], "initial => 15rc ecu, skip isocode ");
}

TEST_F(ConnectSwitchTest, PulledCableDuringLiveDataEndsTheConnection) {
  Load(EcuFamily::Ecu15Rc);
  line_->IgnitionOn();
  ConnectToLiveData();
  RunTicks(2);
  line_->Vanish();
  ASSERT_TRUE(RunUntil([&] { return p().link_losses > 0; }, 1000));
  testing::ExpectDisconnected(this->app_);
  EXPECT_EQ(f().Shape1.fill_color, kColorRed);
  EXPECT_EQ(p().link_losses, 1u);
  EXPECT_FALSE(p().link_lost_reason.empty());
  EXPECT_EQ(f().status_bar.rfind("Connection lost: ", 0), 0u) << f().status_bar;
  EXPECT_NE(f().status_bar.find(testing::kVirtualPort), std::string::npos) << f().status_bar;

  // No tick, no sleep, no spin while the adapter is away: idle waits only.
  clock_.ClearSleeps();
  ExpectQuiet(10000);
  EXPECT_TRUE(clock_.sleeps().empty());

  // Still away: Connect fails as for any missing port, and is no second loss.
  ClickConnectSwitch(app_);
  EXPECT_FALSE(p().MSComm1.PortOpen());
  EXPECT_EQ(f().status_bar, "Cannot open /dev/ttyVIRT0: No such file or directory");
  ClickConnectSwitch(app_);
  EXPECT_EQ(p().link_losses, 1u);

  // Back: a new connection wakes the ECU up again.
  line_->Restore();
  line_->IgnitionOff();
  line_->IgnitionOn();
  ConnectToLiveData();
  EXPECT_EQ(f().Check2.caption, captions::kDisconnect);
  EXPECT_EQ(f().Shape1.fill_color, kColorGreen);
  EXPECT_EQ(f().status_bar, std::string("Port open: ") + testing::kVirtualPort);
  EXPECT_EQ(p().link_losses, 1u);
}

TEST_F(ConnectSwitchTest, PulledCableWhileWaitingForTheEcu) {
  Load(EcuFamily::Ecu15m);
  ClickConnectSwitch(app_);
  RunTicks(2);
  line_->Vanish();
  const size_t lines = LogLines().size();
  ASSERT_TRUE(RunUntil([&] { return p().link_losses > 0; }, 1000));
  EXPECT_EQ(LogLines().size(), lines) << "the tick that finds the loss asks for no wake-up";
  testing::ExpectDisconnected(this->app_);
  EXPECT_EQ(f().Shape1.fill_color, kColorRed);
}

TEST_F(ConnectSwitchTest, PulledCableDuringTheInformationRead) {
  Load(EcuFamily::Ecu15Rc);
  line_->IgnitionOn();
  ClickConnectSwitch(app_);
  // The handshake of the first tick takes about 900 ms; the information read follows.
  clock_.Schedule(1000, [&] { line_->Vanish(); });
  ASSERT_TRUE(RunUntil([&] { return p().link_losses > 0; }, 10000));
  const Lines lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("Ecu info: 30", 0), 0u) << lines.back();
  for (const std::string& l : lines) EXPECT_NE(l.rfind("Cal: ", 0), 0u) << "ended before it";
  testing::ExpectDisconnected(this->app_);
  EXPECT_EQ(loop_.ticks_run(), 1u);
}

TEST_F(ConnectSwitchTest, UserDisconnectAfterThePullIsNoLoss) {
  Load(EcuFamily::Ecu15Rc);
  line_->IgnitionOn();
  ConnectToLiveData();
  line_->Vanish();
  ClickConnectSwitch(app_);  // before any tick noticed
  testing::ExpectDisconnected(this->app_);
  EXPECT_EQ(f().Shape1.fill_color, kColorRed);
  EXPECT_EQ(p().link_losses, 0u);
  ExpectQuiet(1000);
}

TEST_F(ConnectSwitchTest, Check3ClearedAtConnectSkipsTheInformationRead) {
  Load(EcuFamily::EcuP8);
  line_->IgnitionOn();
  ClickCheck3(app_);
  ASSERT_FALSE(f().Check3.value);
  EXPECT_FALSE(p().ecuinf) << "unchecking changes no flag";
  ClickConnectSwitch(app_);
  RunTicks(1);
  EXPECT_EQ(LogLines(), (Lines{"1200bds", "7812", "Ecu info: 0 ", "Cal: 0 "}));
  EXPECT_TRUE(SentInRange(0x17, 0x20).empty());
}

TEST_F(ConnectSwitchTest, CheckingTheSwitchesDuringAConnectionSkipsTheirSteps) {
  Load(EcuFamily::Ecu15m);
  ClickCheck4(app_);  // "Calibration" on before Connect: the read will run
  ClickConnectSwitch(app_);
  RunTicks(2);
  // While the ECU is still silent: uncheck and re-check "Ecu data".
  ClickCheck3(app_);
  EXPECT_FALSE(p().ecuinf);
  ClickCheck3(app_);
  EXPECT_TRUE(p().ecuinf);
  ClickCheck3(app_);
  EXPECT_TRUE(p().ecuinf) << "unchecking changes no flag";
  line_->IgnitionOn();
  ASSERT_TRUE(RunUntil([&] { return p().init; }));
  for (const std::string& l : LogLines()) {
    EXPECT_NE(l, "ask ecu info... ");
    EXPECT_NE(l.rfind("Ecu info: ", 0), 0u) << l;
  }
  // Each answer takes about 3.6 ms on the wire: one 3 ms poll step is not enough.
  EXPECT_EQ(LogLines().back(), "Cal: 3 CAL12345");
  EXPECT_EQ(f().Text4.text, "Iso Code    : 55018A132740\r\ncalibration : CAL12345\r\n");
}

TEST_F(ConnectSwitchTest, CheckingCalibrationDuringAConnectionStartsLiveData) {
  Load(EcuFamily::EcuP8);
  line_->IgnitionOn();
  ClickCheck3(app_);  // nothing to read on the first tick either
  ClickConnectSwitch(app_);
  ClickCheck4(app_);
  EXPECT_TRUE(p().cal_ask);
  ClickCheck3(app_);  // checked again: ecuinf set at once
  EXPECT_TRUE(p().ecuinf);
  RunTicks(1);
  EXPECT_EQ(LogLines(), (Lines{"1200bds", "7812"})) << "neither read ran";
  EXPECT_EQ(p().live_frames, 1u);
}

}  // namespace
}  // namespace velarin
