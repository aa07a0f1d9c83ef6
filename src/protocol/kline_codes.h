#pragma once
// Every byte of the K-line protocol, requests and the fixed answers, defined once.
// Each request is one byte; the adapter echoes it in front of the ECU's answer.

#include <cstdint>

namespace velarin::kline {

// Wake-up: the program's answer to the ECU's ISO-code burst (15Rc: without a burst).
inline constexpr uint8_t kWakeAnswer[3] = {0x0F, 0xAA, 0xCC};

// Identification and calibration texts, one character per request.
inline constexpr uint8_t kIdentFirst = 0x17;
inline constexpr uint8_t kIdentLast = 0x20;
inline constexpr uint8_t kCalFirst = 0x21;
inline constexpr uint8_t kCalLast = 0x28;

// Live data.
inline constexpr uint8_t kRpmHigh = 0x01;
inline constexpr uint8_t kRpmLow = 0x02;
inline constexpr uint8_t kInjectionHigh = 0x03;
inline constexpr uint8_t kInjectionLow = 0x04;
inline constexpr uint8_t kAdvance = 0x05;
inline constexpr uint8_t kPressure = 0x06;
inline constexpr uint8_t kAirTemp = 0x07;
inline constexpr uint8_t kWaterTemp = 0x08;
inline constexpr uint8_t kThrottle = 0x09;
inline constexpr uint8_t kBattery = 0x0A;
inline constexpr uint8_t kTrimmer = 0x0B;             // 16m and P8
inline constexpr uint8_t kTrimmer15m = 0x0F;          // 15m and 15Rc: the fault-byte-1 register
inline constexpr uint8_t kThrottle15RcSecond = 0x3A;  // second throttle byte of 15Rc

// Fault and status memory.
inline constexpr uint8_t kFault1 = 0x0F;
inline constexpr uint8_t kFault2 = 0x10;
inline constexpr uint8_t kDetail = 0x11;

// Diagnostic mode.
inline constexpr uint8_t kEnterDiagnostic = 0xAA;
inline constexpr uint8_t kLeave = 0xFF;  // leaves CO regulation when in it, else diagnostic mode
inline constexpr uint8_t kEnteredFF = 0xFF;  // after the echo of 0xAA: entered
inline constexpr uint8_t kEnteredAA = 0xAA;  // the other answer that means entered
inline constexpr uint8_t kLeft = 0xFF;       // after the echo of 0xFF: left

// Actuator test verdicts.
inline constexpr uint8_t kTestFinished = 0xFF;
inline constexpr uint8_t kTestFailed = 0xEE;

// CO regulation.
inline constexpr uint8_t kEnterCo = 0x8D;
inline constexpr int32_t kTrimmerCentre = 127;  // trimmer byte = slider position + 127
inline constexpr uint8_t kCoEntered = 0x8D;     // last answer byte once the ECU regulates
inline constexpr uint8_t kCoLeft = 0xFF;        // last answer byte once it stops
// Trimmer bytes run from 0x00 to this; the next one, 0xFF, is kLeave.
inline constexpr uint8_t kTrimmerMax = 0xFE;

}  // namespace velarin::kline
