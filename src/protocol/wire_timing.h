#pragma once
// How long a byte lasts on the K-line and which rates understand each other.

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace velarin {

// 8N1: start bit, 8 data bits, stop bit.
inline constexpr int kBitsPerByte = 10;

// Microseconds one byte takes at `baud` (1200: 8333, 7812: 1280); 0 for no rate.
inline uint64_t ByteTimeUs(int32_t baud) {
  if (baud <= 0) return 0;
  return (uint64_t{kBitsPerByte} * 1'000'000 + static_cast<uint64_t>(baud) / 2) /
         static_cast<uint64_t>(baud);
}

// A UART still decodes a byte sent at a rate within 2 % of its own; further
// off it sees framing errors, which the simulation drops.
inline bool SameLineRate(int32_t a, int32_t b) {
  if (a <= 0 || b <= 0) return false;
  const int64_t low = a < b ? a : b;
  return std::llabs(int64_t{a} - b) * 50 <= low;
}

// A rate more than 2 % off the ECU's 7812.5 baud cannot carry the K-line.
inline bool FarFromKLine(int32_t rate) { return std::fabs(rate - 7812.5) > 7812.5 * 0.02; }

}  // namespace velarin
