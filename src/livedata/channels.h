#pragma once
// The live-data channels in frame order and the request codes they send.

#include <array>
#include <cstdint>

#include "forms/form2.h"
#include "protocol/kline_codes.h"

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
    {ExchangeKind::kTwoCodes, kline::kRpmHigh, kline::kRpmLow},
    {ExchangeKind::kTwoCodes, kline::kInjectionHigh, kline::kInjectionLow},
    {ExchangeKind::kOneCode, kline::kAdvance, 0},
    {ExchangeKind::kOneCode, kline::kPressure, 0},
    {ExchangeKind::kOneCode, kline::kAirTemp, 0},
    {ExchangeKind::kOneCode, kline::kWaterTemp, 0},
    {ExchangeKind::kThrottle, kline::kThrottle, kline::kThrottle15RcSecond},
    {ExchangeKind::kOneCode, kline::kBattery, 0},
    {ExchangeKind::kOneCode, kline::kTrimmer15m, 0},
}};

}  // namespace velarin
