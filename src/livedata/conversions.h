#pragma once
// Raw ECU bytes to engineering units, all in double precision. Pure functions:
// which bytes are usable and where the results go is the frame's business.

#include <cstdint>

namespace velarin {

// Engine speed = constant / period (the constants are the frames': kRpmConstant,
// kRpmConstantP8). Truncated toward zero; period must not be 0 (the frame never divides by it).
double RpmFromPeriod(double constant, uint32_t period);
// Segments of the speed bar to light: rpm / 100 rounded half to even.
int64_t BarLevel(double rpm);
// One period count is 2 us: ms = whole part of 2 x period, / 1000.
double InjectionMs(uint32_t period);
double AdvanceDegrees(uint8_t x);
// Manifold pressure, truncated toward zero.
double PressureMbar(uint8_t x);
// 15m, 15Rc and 16m air and water temperature.
double TemperatureCelsius(uint8_t x);
// Throttle opening of scale "1": two straight lines meeting near 30 degrees at 170.
double ThrottleDegrees(uint8_t x);
// 15Rc throttle: sensor voltage of byte x, and the angle from x and the 0x3A byte y.
double Throttle15RcVolts(uint8_t x);
double Throttle15RcDegrees(uint8_t x, uint8_t y);
double BatteryVolts(uint8_t x);
double TrimmerValue(uint8_t x);

}  // namespace velarin
