#include "sim/simulated_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/ecu_codes.h"

namespace velarin {
namespace {

using Bytes = std::vector<uint8_t>;

// A line with the port opened and the ECU woken by the program's handshake.
class LineTest : public ::testing::Test {
 protected:
  explicit LineTest(EcuFamily family = EcuFamily::Ecu15m) : line_(clock_, Scenario(family)) {}

  static EcuScenario Scenario(EcuFamily family) {
    EcuScenario s = DefaultScenario(family);
    s.engine_model = false;
    return s;
  }

  SerialDevice& dev() { return line_.device(); }

  // Sends the handshake at 1200 after the burst and switches to 7812.
  void WakeUp() {
    ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
    line_.IgnitionOn();
    clock_.Advance(200);
    (void)dev().ReadAll();
    for (uint8_t b : ecu::kHandshake) {
      ASSERT_TRUE(dev().WriteByte(b));
      clock_.Advance(110);
    }
    ASSERT_TRUE(line_.ecu_awake());
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

  VirtualClock clock_{1000};
  SimulatedLine line_;
};

TEST_F(LineTest, BurstArrivesAt1200AfterIgnition) {
  ASSERT_TRUE(dev().Open("/dev/ttyUSB0"));
  EXPECT_FALSE(dev().DataArrived());
  line_.IgnitionOn();
  clock_.Advance(100);
  EXPECT_TRUE(dev().DataArrived());
  EXPECT_EQ(dev().ReadAll(), (Bytes{0x55, 0x01, 0x8A, 0x13, 0x27, 0x40}));
}

TEST_F(LineTest, AwakeEcuAnswersIdentification) {
  WakeUp();
  EXPECT_EQ(Ask(0x17), (Bytes{0x17, 'V'}));
  EXPECT_EQ(Ask(0x21), (Bytes{0x21, 'C'}));
}

}  // namespace
}  // namespace velarin
