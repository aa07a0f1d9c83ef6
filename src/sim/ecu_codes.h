#pragma once
// The single-byte requests an ECU understands and the fixed bytes it answers,
// as the simulated ECU sees them.

#include <cstdint>

namespace velarin::ecu {

// Wake-up answer the program sends after the burst (15Rc: without a burst).
inline constexpr uint8_t kHandshake[3] = {0x0F, 0xAA, 0xCC};

inline constexpr uint8_t kIdentFirst = 0x17;  // ..0x20: one identification character each
inline constexpr uint8_t kIdentLast = 0x20;
inline constexpr uint8_t kCalFirst = 0x21;  // ..0x28: one calibration character each
inline constexpr uint8_t kCalLast = 0x28;

// Live data.
inline constexpr uint8_t kRpmHi = 0x01;
inline constexpr uint8_t kRpmLo = 0x02;
inline constexpr uint8_t kInjHi = 0x03;
inline constexpr uint8_t kInjLo = 0x04;
inline constexpr uint8_t kAdvance = 0x05;
inline constexpr uint8_t kPressure = 0x06;
inline constexpr uint8_t kAirTemp = 0x07;
inline constexpr uint8_t kWaterTemp = 0x08;
inline constexpr uint8_t kThrottle = 0x09;
inline constexpr uint8_t kBattery = 0x0A;
inline constexpr uint8_t kTrimmerB = 0x0B;   // trimmer of 16m and P8
inline constexpr uint8_t kThrottle2 = 0x3A;  // second throttle byte of 15Rc

// Fault and status memory; 0x0F is also the 15m / 15Rc trimmer.
inline constexpr uint8_t kFault1 = 0x0F;
inline constexpr uint8_t kFault2 = 0x10;
inline constexpr uint8_t kDetail = 0x11;

// Diagnostic mode and CO regulation.
inline constexpr uint8_t kEnterDiagnostic = 0xAA;
inline constexpr uint8_t kLeave = 0xFF;  // leaves CO regulation, else diagnostic mode
inline constexpr uint8_t kEnterCo = 0x8D;
inline constexpr uint8_t kVerdictFinished = 0xFF;
inline constexpr uint8_t kVerdictFailed = 0xEE;

}  // namespace velarin::ecu
