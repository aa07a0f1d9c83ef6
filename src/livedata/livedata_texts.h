#pragma once
// Texts the live-data readouts show besides numbers.

#include <string_view>

namespace velarin::texts {

inline constexpr std::string_view kNoEngineSpeed = " ----";  // both rpm bytes 0xFF
inline constexpr std::string_view kZeroEngineSpeed = " 0";   // P8: both rpm bytes 0x00

}  // namespace velarin::texts
