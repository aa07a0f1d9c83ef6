// The engine model as the program will see it: its bytes run through the
// program's own conversions must show plausible, moving values.

#include "sim/engine_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "livedata/conversions.h"
#include "livedata/temp_table.h"
#include "protocol/kline_codes.h"

namespace velarin {
namespace {

struct Readout {
  double rpm, injection, advance, pressure, air, water, throttle, battery;
};

uint8_t Byte(EcuFamily f, uint8_t code, const EngineState& e) {
  std::optional<uint8_t> b = EncodeLive(f, code, e);
  EXPECT_TRUE(b.has_value()) << int{code};
  return b.value_or(0);
}

// What the program's readouts would show for one sample.
Readout Read(EcuFamily f, const EngineState& e) {
  static const TempTableEntries table = TempTableValues();
  const bool p8 = f == EcuFamily::EcuP8;
  auto word = [&](uint8_t hi, uint8_t lo) { return Byte(f, hi, e) * 256u + Byte(f, lo, e); };
  auto temp = [&](uint8_t code) {
    const uint8_t x = Byte(f, code, e);
    return p8 ? TemperatureFromTable(table, x) : TemperatureCelsius(x);
  };
  Readout r;
  r.rpm = RpmFromPeriod(p8 ? kRpmConstantP8 : kRpmConstant, word(kline::kRpmHigh, kline::kRpmLow));
  r.injection = InjectionMs(word(kline::kInjectionHigh, kline::kInjectionLow));
  r.advance = AdvanceDegrees(Byte(f, kline::kAdvance, e));
  r.pressure = PressureMbar(Byte(f, kline::kPressure, e));
  r.air = temp(kline::kAirTemp);
  r.water = temp(kline::kWaterTemp);
  r.throttle = f == EcuFamily::Ecu15Rc ? Throttle15RcDegrees(Byte(f, kline::kThrottle, e),
                                                             Byte(f, kline::kThrottle15RcSecond, e))
                                       : ThrottleDegrees(Byte(f, kline::kThrottle, e));
  r.battery = BatteryVolts(Byte(f, kline::kBattery, e));
  return r;
}

class EngineFamilyTest : public ::testing::TestWithParam<EcuFamily> {};

TEST_P(EngineFamilyTest, TenMinutesOfPlausibleReadouts) {
  const EcuFamily f = GetParam();
  std::vector<double> rpms;
  double max_rpm = 0;
  for (uint64_t t = 0; t <= 600'000; t += 250) {
    const EngineState e = EngineAt(7, t);
    const Readout r = Read(f, e);
    SCOPED_TRACE(::testing::Message() << "t=" << t << " ms");
    ASSERT_GT(r.rpm, 900);
    ASSERT_LT(r.rpm, 7600);
    EXPECT_NEAR(r.rpm, e.rpm, e.rpm * 0.01);  // the period's resolution
    EXPECT_GE(r.injection, 1.5);
    EXPECT_LE(r.injection, 8);
    EXPECT_GE(r.advance, 5);
    EXPECT_LE(r.advance, 40);
    EXPECT_GE(r.pressure, 300);
    EXPECT_LE(r.pressure, 1000);
    EXPECT_NEAR(r.air, e.air_c, 1.5);
    EXPECT_NEAR(r.water, e.water_c, 1.5);
    EXPECT_NEAR(r.throttle, e.throttle_deg, 1);
    EXPECT_GE(r.throttle, -1.5);
    EXPECT_LE(r.throttle, 70);
    EXPECT_NEAR(r.battery, 14, 0.5);
    rpms.push_back(r.rpm);
    max_rpm = std::max(max_rpm, r.rpm);
  }
  std::sort(rpms.begin(), rpms.end());
  EXPECT_NEAR(rpms[rpms.size() / 2], 1200, 100);  // mostly idling
  EXPECT_GT(max_rpm, 3000);                       // with a rev now and then
}

TEST_P(EngineFamilyTest, HighByteNeverReadsAsNoValue) {
  for (uint64_t t = 0; t <= 120'000; t += 50) {
    const EngineState e = EngineAt(3, t);
    EXPECT_NE(Byte(GetParam(), kline::kRpmHigh, e), 0xFF);
    EXPECT_NE(Byte(GetParam(), kline::kInjectionHigh, e), 0xFF);
  }
}

INSTANTIATE_TEST_SUITE_P(Families, EngineFamilyTest,
                         ::testing::Values(EcuFamily::Ecu15m, EcuFamily::Ecu15Rc, EcuFamily::Ecu16m,
                                           EcuFamily::EcuP8));

TEST(EngineModelTest, WaterWarmsFromCold) {
  const double cold = EngineAt(1, 0).water_c;
  EXPECT_LT(cold, 30);
  EXPECT_GT(EngineAt(1, 120'000).water_c, cold + 15);
  EXPECT_NEAR(EngineAt(1, 1'800'000).water_c, 88, 2);
}

TEST(EngineModelTest, SameSeedAndTimeGiveTheSameEngine) {
  int differ = 0;
  for (uint64_t t = 0; t < 60'000; t += 500) {
    EXPECT_EQ(EngineAt(5, t).rpm, EngineAt(5, t).rpm);
    if (EngineAt(5, t).rpm != EngineAt(6, t).rpm) ++differ;
  }
  EXPECT_GT(differ, 60);
}

TEST(EngineModelTest, FamiliesWithoutACodeSayNone) {
  const EngineState e = EngineAt(1, 0);
  EXPECT_FALSE(EncodeLive(EcuFamily::Ecu15m, kline::kThrottle15RcSecond, e).has_value());
  EXPECT_FALSE(EncodeLive(EcuFamily::Ecu16m, kline::kThrottle15RcSecond, e).has_value());
  EXPECT_FALSE(EncodeLive(EcuFamily::Ecu15m, kline::kTrimmer, e).has_value());
  EXPECT_FALSE(EncodeLive(EcuFamily::EcuP8, 0x0C, e).has_value());
}

// The P8 sensor byte for a temperature, read back through the program's table.
TEST(EngineModelTest, P8TemperatureByteRoundTripsThroughTheTable) {
  const TempTableEntries table = TempTableValues();
  for (double c = -55; c <= 125; c += 0.5) {
    const uint8_t x = P8TemperatureByte(c);
    EXPECT_NEAR(TemperatureFromTable(table, x), c, 1.5) << c;
  }
  EXPECT_EQ(P8TemperatureByte(200), 32);
  EXPECT_EQ(P8TemperatureByte(-90), 224);
}

}  // namespace
}  // namespace velarin
