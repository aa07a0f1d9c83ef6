#pragma once
// The two rates the K-line runs at, and the port settings the link opens with.

#include <cstdint>
#include <string_view>

namespace velarin {

inline constexpr int32_t kWakeBaud = 1200;   // the ISO-code burst and the wake-up answers
inline constexpr int32_t kKLineBaud = 7812;  // the ECU's working rate, 7812.5 rounded half to even
inline constexpr std::string_view kWakeSettings = "1200,n,8,1";  // the port's settings at open

}  // namespace velarin
