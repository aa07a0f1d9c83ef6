// The byte wait on the virtual clock against the simulated line: when it
// succeeds, when exactly it gives up, and that a wrapping counter changes neither.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/exchange.h"
#include "link/link_port.h"
#include "support/sim_rig.h"

namespace velarin {
namespace {

using testing::SimRig;

EcuScenario Awake15m() {
  EcuScenario s = DefaultScenario(EcuFamily::Ecu15m);
  s.engine_model = false;
  return s;
}

class WaitForInputTest : public ::testing::Test {
 protected:
  explicit WaitForInputTest(uint32_t start_ms = 0) : rig_(Awake15m(), start_ms) {
    EXPECT_TRUE(rig_.OpenPort());
    rig_.clock().ClearSleeps();
  }
  LinkPort& port() { return rig_.protocol().MSComm1; }
  SimRig rig_;
};

TEST_F(WaitForInputTest, BytesAlreadyWaitingSucceedWithoutSleeping) {
  rig_.line.InjectFromEcu({0x11, 0x22});  // at 1200, the ECU's rate before the handshake
  rig_.clock().Advance(20);
  rig_.clock().ClearSleeps();
  const uint32_t before = rig_.clock().NowMs();
  WaitReadings readings;
  EXPECT_TRUE(WaitForInput(port(), rig_.clock(), 2, 3000, kPoll3Then1, &readings));
  EXPECT_TRUE(rig_.clock().sleeps().empty());
  EXPECT_EQ(rig_.clock().NowMs(), before);
  EXPECT_EQ(port().device->BytesWaiting(), 2);  // the wait reads nothing
  EXPECT_EQ(readings.start, before);
}

TEST_F(WaitForInputTest, SucceedsOnThePassAfterTheBytesArrive) {
  rig_.line.InjectFromEcu({0x11, 0x22});  // complete at 9 and 17 ms
  const uint32_t start = rig_.clock().NowMs();
  EXPECT_TRUE(WaitForInput(port(), rig_.clock(), 2, 3000, kPoll3Then1));
  EXPECT_EQ(rig_.clock().NowMs() - start, 20u);  // passes at 0, 4, ..., 20
}

// Every pass pattern of the program, and when each gives up. A pass's clock
// reading is compared with the time-out; the last sleeps of that pass still run.
struct GiveUp {
  const char* name;
  PollStep step;
  int32_t timeout_ms;
  uint32_t last_reading;  // ms after the start
  uint32_t returns_at;    // ms after the start
};

class WaitGiveUpTest : public ::testing::TestWithParam<GiveUp> {};

void ExpectGiveUp(const GiveUp& g, uint32_t start_ms) {
  SimRig rig(Awake15m(), start_ms);
  ASSERT_TRUE(rig.OpenPort());
  LinkPort& port = rig.protocol().MSComm1;
  WaitReadings readings;
  const uint32_t start = rig.clock().NowMs();
  EXPECT_FALSE(WaitForInput(port, rig.clock(), 2, g.timeout_ms, g.step, &readings));
  EXPECT_EQ(rig.clock().NowMs() - start, g.returns_at);
  EXPECT_EQ(readings.now - readings.start, g.last_reading);
  EXPECT_EQ(readings.start, start);
}

TEST_P(WaitGiveUpTest, GivesUpOnThePassAfterTheTimeOut) { ExpectGiveUp(GetParam(), 1000); }

TEST_P(WaitGiveUpTest, WrappingCounterNeitherShortensNorLengthens) {
  ExpectGiveUp(GetParam(), UINT32_MAX - 1500);  // wraps in the middle of the wait
}

INSTANTIATE_TEST_SUITE_P(Patterns, WaitGiveUpTest,
                         ::testing::Values(GiveUp{"ThreeThenOne", kPoll3Then1, 3000, 3004, 3008},
                                           GiveUp{"ThreeAlone", kPoll3, 2000, 2001, 2004},
                                           GiveUp{"DiagnosticEntry", kPollEntry, 5000, 5001, 5004},
                                           GiveUp{"TestStart", kPollTestStart, 5000, 5004, 5007},
                                           GiveUp{"DiagnosticExit", kPollExit, 3000, 3004, 3004}),
                         [](const ::testing::TestParamInfo<GiveUp>& info) {
                           return info.param.name;
                         });

TEST(WaitForInputWrapTest, SuccessAcrossTheWrap) {
  SimRig rig(Awake15m(), UINT32_MAX - 5);
  ASSERT_TRUE(rig.OpenPort());
  rig.line.InjectFromEcu({0x11, 0x22});
  EXPECT_TRUE(WaitForInput(rig.protocol().MSComm1, rig.clock(), 2, 3000, kPoll3Then1));
  EXPECT_EQ(rig.clock().NowMs(), 14u);  // 20 ms after the start, past zero
}

TEST(WaitForInputWrapTest, VanishedPortTimesOutInsteadOfSpinning) {
  SimRig rig(Awake15m());
  ASSERT_TRUE(rig.OpenPort());
  rig.line.Vanish();
  EXPECT_FALSE(WaitForInput(rig.protocol().MSComm1, rig.clock(), 2, 100, kPoll3));
  // Every pass slept: readings at 0, 3, ..., 102 ms, one 3 ms sleep each.
  EXPECT_EQ(rig.clock().sleeps().size(), 35u);
}

}  // namespace
}  // namespace velarin
