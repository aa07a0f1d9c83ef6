#include "livedata/conversions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "livedata/text_forms.h"
#include "protocol/frame_profile.h"

namespace velarin {
namespace {

class ConversionsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDecimalSeparator("."); }
  void TearDown() override { ResetDecimalSeparator(); }
};

// A raw reading through its conversion and text form, as the readout shows it.
struct ReadoutCase {
  const char* what;
  std::function<std::string()> shown;
  const char* expected;
};

TEST_F(ConversionsTest, ReadoutsOfTheEdgeValues) {
  const ReadoutCase cases[] = {
      {"rpm 0x0FA0", [] { return WholeNumberText(RpmFromPeriod(kRpmConstant, 0x0FA0)); }, "3750"},
      {"rpm P8 0x0FA0", [] { return WholeNumberText(RpmFromPeriod(kRpmConstantP8, 0x0FA0)); },
       "7500"},
      {"rpm period 1", [] { return WholeNumberText(RpmFromPeriod(kRpmConstant, 1)); }, "15000000"},
      {"rpm period 0xFFFF", [] { return WholeNumberText(RpmFromPeriod(kRpmConstant, 0xFFFF)); },
       "228"},
      {"rpm P8 0xFFFF", [] { return WholeNumberText(RpmFromPeriod(kRpmConstantP8, 0xFFFF)); },
       "457"},
      {"injection 0x012C", [] { return PlainText(InjectionMs(0x012C)); }, "0.6"},
      {"injection 0xFFFF", [] { return PlainText(InjectionMs(0xFFFF)); }, "131.07"},
      {"injection 1", [] { return PlainText(InjectionMs(1)); }, "0.002"},
      {"advance 0xFF", [] { return PlainText(AdvanceDegrees(0xFF)); }, "127.5"},
      {"advance 0x1F", [] { return PlainText(AdvanceDegrees(0x1F)); }, "15.5"},
      {"pressure 0", [] { return WholeNumberText(PressureMbar(0)); }, "121"},
      {"pressure 0xFF", [] { return WholeNumberText(PressureMbar(0xFF)); }, "1099"},
      {"temperature 0", [] { return PlainText(TemperatureCelsius(0)); }, "-55"},
      {"temperature 0x8A", [] { return PlainText(TemperatureCelsius(0x8A)); }, "83"},
      {"throttle 170", [] { return TwoDecimalsText(ThrottleDegrees(170)); }, "30.01"},
      {"throttle 171", [] { return TwoDecimalsText(ThrottleDegrees(171)); }, "30.69"},
      {"throttle 0", [] { return TwoDecimalsText(ThrottleDegrees(0)); }, "-1.41"},
      {"throttle 8", [] { return TwoDecimalsText(ThrottleDegrees(8)); }, ".07"},
      {"throttle 255", [] { return TwoDecimalsText(ThrottleDegrees(255)); }, "89.98"},
      {"battery 0xC8", [] { return PlainText(BatteryVolts(0xC8)); }, "12.5"},
      {"battery 0xFF", [] { return PlainText(BatteryVolts(0xFF)); }, "15.9375"},
      {"trimmer 0xFF", [] { return PlainText(TrimmerValue(0xFF)); }, "127"},
      {"trimmer 0x80", [] { return PlainText(TrimmerValue(0x80)); }, "0"},
      {"trimmer 0", [] { return PlainText(TrimmerValue(0)); }, "-128"},
      {"trimmer 0x90", [] { return PlainText(TrimmerValue(0x90)); }, "16"},
  };
  for (const ReadoutCase& c : cases) EXPECT_EQ(c.shown(), c.expected) << c.what;
}

TEST_F(ConversionsTest, ThrottleLinesMeetNear30AtTheBreak) {
  EXPECT_NEAR(ThrottleDegrees(170), 30.006, 1e-9);
  EXPECT_NEAR(ThrottleDegrees(171), 30.6918, 1e-9);
  for (int x = 1; x <= 255; ++x) {
    EXPECT_GT(ThrottleDegrees(static_cast<uint8_t>(x)),
              ThrottleDegrees(static_cast<uint8_t>(x - 1)))
        << x;
  }
}

struct Throttle15RcCase {
  uint8_t x;
  uint8_t y;
  const char* volts;
  const char* degrees;
};

TEST_F(ConversionsTest, Throttle15RcVoltageAndAngle) {
  const Throttle15RcCase cases[] = {
      {0, 0, "0.00", "-16.3"},   {100, 50, "1.94", "75.7"},    {0xAA, 0xAA, "3.30", "55.1"},
      {200, 0, "3.88", "267.7"}, {0xFF, 0xFF, "4.95", "90.8"}, {10, 0xFF, "0.20", "-257.1"},
  };
  for (const Throttle15RcCase& c : cases) {
    EXPECT_EQ(FixedTwoDecimalsText(Throttle15RcVolts(c.x)), c.volts) << int(c.x);
    EXPECT_EQ(OneDecimalText(Throttle15RcDegrees(c.x, c.y)), c.degrees)
        << int(c.x) << "/" << int(c.y);
  }
}

struct LevelCase {
  double rpm;
  int64_t level;
};

TEST_F(ConversionsTest, BarLevelRoundsHalvesToEven) {
  const LevelCase cases[] = {
      {3750, 38}, {7500, 75},   {1250, 12},   {1350, 14},         {1249, 12},
      {228, 2},   {11949, 119}, {11950, 120}, {15000000, 150000}, {0, 0},
  };
  for (const LevelCase& c : cases) EXPECT_EQ(BarLevel(c.rpm), c.level) << c.rpm;
}

}  // namespace
}  // namespace velarin
