#include "livedata/conversions.h"

#include <algorithm>
#include <cmath>

#include "link/numbers.h"

namespace velarin {

double RpmFromPeriod(double constant, uint32_t period) {
  return std::trunc(constant / static_cast<double>(period));
}

int64_t BarLevel(double rpm) {
  const double level = RoundHalfEven(rpm / 100.0);
  if (std::isnan(level)) return 0;
  // Clamped so that no speed, however corrupt, overflows the conversion.
  return static_cast<int64_t>(std::clamp(level, -1e15, 1e15));
}

double InjectionMs(uint32_t period) { return std::trunc(2.0 * period) / 1000.0; }

double AdvanceDegrees(uint8_t x) { return x / 2.0; }

double PressureMbar(uint8_t x) { return std::trunc((x * 2.8758 + 91.0) * 1.33322); }

double TemperatureCelsius(uint8_t x) { return x - 55.0; }

double ThrottleDegrees(uint8_t x) {
  if (x <= 170) return x * 0.1848 - 1.41;
  return x * 0.7058 - 90.0;
}

double Throttle15RcVolts(uint8_t x) { return x * 0.0194 + 0.0023; }

double Throttle15RcDegrees(uint8_t x, uint8_t y) {
  return x * 0.42 + static_cast<double>(x) - static_cast<double>(y) - 16.3;
}

double BatteryVolts(uint8_t x) { return x * 0.0625; }

double TrimmerValue(uint8_t x) { return x - 128.0; }

}  // namespace velarin
