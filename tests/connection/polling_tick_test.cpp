#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connection/connect_switch.h"
#include "connection/connection_fixture.h"
#include "forms/timer_on.h"

namespace velarin {
namespace {

class PollingTickTest : public testing::ConnectionFixture {
 protected:
  // One tick of a 15m connection whose ECU is still silent: returns its sleeps.
  std::vector<uint32_t> SilentTickSleeps() {
    clock_.ClearSleeps();
    RunTicks(1);
    return clock_.sleeps();
  }
};

TEST_F(PollingTickTest, PausesAsThePauseBoxSaysBeforeEachStep) {
  struct Case {
    const char* text;
    uint32_t ms;
  } cases[] = {{"5", 5},   {"2.5", 2}, {"3.5", 4},  {"0", 0},
               {"abc", 0}, {"-3", 0},  {"1e99", 0}, {" 7 ", 7}};
  Load(EcuFamily::Ecu15m);
  ClickConnectSwitch(app_);
  for (const Case& c : cases) {
    app_.form2.Text5.text = c.text;
    // Initial returns at once while nothing has arrived: the pause is the only sleep.
    EXPECT_EQ(SilentTickSleeps(), std::vector<uint32_t>{c.ms}) << c.text;
  }
}

TEST_F(PollingTickTest, TickThatFindsTheLinkDownDisablesTests) {
  Load(EcuFamily::Ecu15m);
  ClickConnectSwitch(app_);
  app_.form2.test.enabled = true;
  RunTicks(1);
  EXPECT_FALSE(app_.protocol.init);
  EXPECT_FALSE(app_.form2.test.enabled);
  EXPECT_FALSE(app_.form2.Command11.enabled);
}

TEST_F(PollingTickTest, TickThatBringsTheLinkUpEnablesTestsAndDtc) {
  Load(EcuFamily::Ecu15Rc);
  ClickConnectSwitch(app_);
  // The 15Rc wake-up completes in the tick that disabled "Tests" for it.
  RunTicks(1);
  EXPECT_TRUE(app_.protocol.init);
  EXPECT_TRUE(app_.form2.test.enabled);
  EXPECT_TRUE(app_.form2.Command11.enabled);
}

TEST_F(PollingTickTest, ScrollsTheLogToItsEndOncePerTick) {
  Load(EcuFamily::Ecu15m);
  ClickConnectSwitch(app_);
  const size_t scrolls = app_.form2.Rtb1.ScrollCount();
  RunTicks(4);
  EXPECT_EQ(app_.form2.Rtb1.ScrollCount(), scrolls + 4);
  EXPECT_EQ(app_.form2.Rtb1.Caret(), app_.form2.Rtb1.Text().size());
}

TEST_F(PollingTickTest, TicksEveryFiftyMsFromConnect) {
  Load(EcuFamily::Ecu15m);
  ClickConnectSwitch(app_);
  const uint32_t armed = app_.protocol.Timer1.restarted_at;
  std::vector<uint32_t> at;
  loop_.SetTick([&] {
    at.push_back(clock_.NowMs() - armed);
    MainTick(app_);
  });
  RunTicks(4);
  EXPECT_EQ(at, (std::vector<uint32_t>{50, 100, 150, 200}));
}

class RateWarningTest : public testing::ConnectionRig<::testing::TestWithParam<EcuFamily>> {};

// A bridge that runs 9600 when asked for 7812: P8 switches at Connect, the
// others in the wake-up tick; the status bar says so either way.
TEST_P(RateWarningTest, AdapterThatMissesTheRateIsReported) {
  Load(GetParam());
  line_->adapter_rates[7812] = 9600;
  line_->IgnitionOn();
  ClickConnectSwitch(app_);
  if (GetParam() != EcuFamily::EcuP8) RunTicks(1);
  EXPECT_FALSE(app_.protocol.MSComm1.rate_warning.empty());
  EXPECT_EQ(app_.form2.status_bar, app_.protocol.MSComm1.rate_warning);
  EXPECT_NE(app_.form2.status_bar.find("9600"), std::string::npos) << app_.form2.status_bar;
}

INSTANTIATE_TEST_SUITE_P(Families, RateWarningTest,
                         ::testing::Values(EcuFamily::EcuP8, EcuFamily::Ecu15Rc));

TEST_F(PollingTickTest, FamilyChangeTakesEffectOnTheNextTick) {
  Load(EcuFamily::Ecu15Rc);
  line_->IgnitionOn();
  ClickConnectSwitch(app_);
  ASSERT_TRUE(RunUntil([&] { return app_.protocol.cal_ask; }));
  const uint64_t frames = app_.protocol.live_frames;
  ClickFamily(app_, EcuFamily::EcuP8);
  RunTicks(1);
  // The P8 reader ran on the link still at 7812: it clears the status line as it starts.
  EXPECT_EQ(app_.protocol.live_frames, frames + 1);
  EXPECT_EQ(app_.protocol.MSComm1.baud, 7812);
  EXPECT_EQ(app_.form2.Label4.caption, "");
}

}  // namespace
}  // namespace velarin
