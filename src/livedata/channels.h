#pragma once
// The live-data channels in frame order and the request codes they send.
// Every code is one byte; the adapter echoes it in front of the ECU's answer.

#include <array>
#include <cstdint>

#include "forms/form2.h"

namespace velarin {

enum Channel : int {
  kRpm = 0,
  kInjection = 1,
  kAdvance = 2,
  kPressure = 3,
  kAirTemp = 4,
  kWaterTemp = 5,
  kThrottle = 6,
  kBattery = 7,
  kTrimmer = 8,
};
// Text1(9): the 15Rc throttle sensor voltage, on the throttle row.
inline constexpr int kThrottleVoltsReadout = 9;

inline constexpr uint8_t kCodeRpmHigh = 0x01;
inline constexpr uint8_t kCodeRpmLow = 0x02;
inline constexpr uint8_t kCodeInjectionHigh = 0x03;
inline constexpr uint8_t kCodeInjectionLow = 0x04;
inline constexpr uint8_t kCodeAdvance = 0x05;
inline constexpr uint8_t kCodePressure = 0x06;
inline constexpr uint8_t kCodeAirTemp = 0x07;
inline constexpr uint8_t kCodeWaterTemp = 0x08;
inline constexpr uint8_t kCodeThrottle = 0x09;
inline constexpr uint8_t kCodeThrottle15RcSecond = 0x3A;
inline constexpr uint8_t kCodeBattery = 0x0A;
inline constexpr uint8_t kCodeTrimmer15m = 0x0F;
inline constexpr uint8_t kCodeTrimmer = 0x0B;  // 16m and P8

enum class ExchangeKind {
  kOneCode,   // code, wait for echo + data
  kTwoCodes,  // code 1, wait 2; pause; code 2, wait 4
  kThrottle,  // 0x09, wait 2; with 15Rc 0x3A at once, wait 4
};

struct ChannelRequest {
  ExchangeKind kind;
  uint8_t code;
  uint8_t second_code;  // kTwoCodes and kThrottle (15Rc) only
};

// Frame order; the trimmer's code depends on the family and comes from its profile.
inline constexpr std::array<ChannelRequest, kChannelCount> kChannelRequests = {{
    {ExchangeKind::kTwoCodes, kCodeRpmHigh, kCodeRpmLow},
    {ExchangeKind::kTwoCodes, kCodeInjectionHigh, kCodeInjectionLow},
    {ExchangeKind::kOneCode, kCodeAdvance, 0},
    {ExchangeKind::kOneCode, kCodePressure, 0},
    {ExchangeKind::kOneCode, kCodeAirTemp, 0},
    {ExchangeKind::kOneCode, kCodeWaterTemp, 0},
    {ExchangeKind::kThrottle, kCodeThrottle, kCodeThrottle15RcSecond},
    {ExchangeKind::kOneCode, kCodeBattery, 0},
    {ExchangeKind::kOneCode, kCodeTrimmer15m, 0},
}};

}  // namespace velarin
