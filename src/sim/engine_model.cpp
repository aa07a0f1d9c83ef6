#include "sim/engine_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "protocol/kline_codes.h"

namespace velarin {
namespace {

// splitmix64: a well-mixed hash, so every (seed, stream, knot) gives its own value.
uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// Uniform in [0, 1).
double Hash01(uint32_t seed, uint32_t stream, int64_t k) {
  uint64_t h = Mix(Mix(seed) ^ Mix(stream * 0x1000193ull) ^ Mix(static_cast<uint64_t>(k)));
  return static_cast<double>(h >> 11) / 9007199254740992.0;
}

// Smooth noise in [-1, 1] with knots `period_s` apart.
double Noise(uint32_t seed, uint32_t stream, double t_s, double period_s) {
  const double x = t_s / period_s;
  const double k = std::floor(x);
  const double f = x - k;
  const double s = f * f * (3 - 2 * f);
  const auto ki = static_cast<int64_t>(k);
  const double a = Hash01(seed, stream, ki);
  const double b = Hash01(seed, stream, ki + 1);
  return 2 * (a + (b - a) * s) - 1;
}

constexpr double kRevWindowS = 12;

// 0..1 while the rider blips the throttle in this window, and the peak rpm of the blip.
void Rev(uint32_t seed, double t_s, double* shape, double* peak_rpm) {
  const auto w = static_cast<int64_t>(std::floor(t_s / kRevWindowS));
  *shape = 0;
  *peak_rpm = 0;
  if (Hash01(seed, 100, w) >= 0.55) return;
  const double offset = 1 + 7 * Hash01(seed, 101, w);
  const double length = 1.5 + 1.5 * Hash01(seed, 102, w);
  *peak_rpm = 2500 + 4500 * Hash01(seed, 103, w);
  const double u = (t_s - static_cast<double>(w) * kRevWindowS - offset) / length;
  if (u <= 0 || u >= 1) return;
  const double s = std::sin(std::numbers::pi * u);
  *shape = s * s;
}

uint8_t ToByte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

uint16_t ToWord(double v, long max) {
  return static_cast<uint16_t>(std::clamp(std::lround(v), 1L, max));
}

// The throttle sensor byte behind an opening, on the two-slope curve the ECU reports.
uint8_t ThrottleByte(double deg) {
  constexpr double kKnee = 170 * 0.1848 - 1.41;
  return ToByte(deg <= kKnee ? (deg + 1.41) / 0.1848 : (deg + 90) / 0.7058);
}

// 15Rc: the sensor byte, and the second byte that, with it, gives the opening.
uint8_t ThrottleRcSensor(double deg) { return ToByte(30 + 2.2 * deg); }
uint8_t ThrottleRcSecond(double deg) { return ToByte(1.42 * ThrottleRcSensor(deg) - 16.3 - deg); }

}  // namespace

EngineState EngineAt(uint32_t seed, uint64_t ms_since_ignition) {
  const double t = static_cast<double>(ms_since_ignition) / 1000.0;
  EngineState e;
  const double ambient = 16 + 8 * Hash01(seed, 1, 0);
  e.water_c = ambient + (88 - ambient) * (1 - std::exp(-t / 300)) + 0.2 * Noise(seed, 2, t, 3);
  e.air_c = ambient + 5 * (1 - std::exp(-t / 400)) + 0.3 * Noise(seed, 3, t, 4);
  const double cold = std::clamp((70 - e.water_c) / 50, 0.0, 1.0);

  double rev = 0;
  double peak = 0;
  Rev(seed, t, &rev, &peak);
  const double idle = 1200 + 25 * Noise(seed, 4, t, 0.8) + 150 * cold;
  e.rpm = idle + std::max(0.0, peak - idle) * rev;
  const double load = std::clamp((e.rpm - 1200) / 5800, 0.0, 1.0);

  e.throttle_deg = 1.2 + 0.3 * Noise(seed, 5, t, 1.1) + rev * (8 + 50 * (peak - 2500) / 4500);
  e.throttle_deg = std::max(0.0, e.throttle_deg);
  e.pressure_mbar = 380 + 8 * Noise(seed, 6, t, 0.9) + 560 * std::min(1.0, e.throttle_deg / 60);
  e.injection_ms = 2.3 + 0.05 * Noise(seed, 7, t, 0.7) + 3.5 * load + 0.8 * cold;
  e.advance_deg = 12 + 0.5 * Noise(seed, 8, t, 0.6) + 22 * load;
  e.battery_v = 13.9 + 0.08 * Noise(seed, 9, t, 2) + 0.15 * rev;
  return e;
}

uint8_t P8TemperatureByte(double celsius) {
  // The sensor curve at the ends of its 16-step segments: raw byte -> degrees C.
  struct Knot {
    double raw;
    double c;
  };
  static constexpr Knot kCurve[] = {{32, 125},    {48, 78.6},   {64, 59.2}, {80, 47.5}, {96, 37.9},
                                    {112, 29.5},  {128, 22},    {144, 14},  {160, 6.2}, {176, -1.8},
                                    {192, -11.8}, {208, -28.7}, {224, -55}};
  if (celsius >= kCurve[0].c) return static_cast<uint8_t>(kCurve[0].raw);
  for (size_t i = 1; i < std::size(kCurve); ++i) {
    const Knot& a = kCurve[i - 1];
    const Knot& b = kCurve[i];
    if (celsius >= b.c) return ToByte(a.raw + (a.c - celsius) / (a.c - b.c) * (b.raw - a.raw));
  }
  return static_cast<uint8_t>(std::end(kCurve)[-1].raw);
}

std::optional<uint8_t> EncodeLive(EcuFamily family, uint8_t code, const EngineState& e) {
  const FamilyFacts& facts = FactsOf(family);
  const FrameProfile& frame = *facts.live_frame;
  const bool rc = facts.throttle_15rc;
  // hi = 0xFF would read as "no value", so periods stay below 0xFF00.
  const uint16_t period = ToWord(frame.rpm_constant / std::max(e.rpm, 1.0), 0xFEFF);
  const uint16_t injection = ToWord(e.injection_ms * 500, 0xFEFF);  // 2 us a count
  auto temperature = [&](double c) {
    return frame.temperature == TemperatureRule::kTable ? P8TemperatureByte(c) : ToByte(c + 55);
  };
  switch (code) {
    case kline::kRpmHigh:
      return static_cast<uint8_t>(period >> 8);
    case kline::kRpmLow:
      return static_cast<uint8_t>(period & 0xFF);
    case kline::kInjectionHigh:
      return static_cast<uint8_t>(injection >> 8);
    case kline::kInjectionLow:
      return static_cast<uint8_t>(injection & 0xFF);
    case kline::kAdvance:
      return ToByte(e.advance_deg * 2);
    case kline::kPressure:
      return ToByte((e.pressure_mbar / 1.33322 - 91) / 2.8758);
    case kline::kAirTemp:
      return temperature(e.air_c);
    case kline::kWaterTemp:
      return temperature(e.water_c);
    case kline::kThrottle:
      return rc ? ThrottleRcSensor(e.throttle_deg) : ThrottleByte(e.throttle_deg);
    case kline::kBattery:
      return ToByte(e.battery_v * 16);
    case kline::kThrottle15RcSecond:
      if (rc) return ThrottleRcSecond(e.throttle_deg);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace velarin
