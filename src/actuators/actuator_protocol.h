#pragma once
// Bytes and timings of the ECU's diagnostic mode, its actuator tests and CO
// regulation. Every request is one byte; the adapter echoes it before the answer.

#include <cstdint>

namespace velarin::actuator_protocol {

// Diagnostic mode.
inline constexpr uint8_t kEnterDiagnostic = 0xAA;
inline constexpr uint8_t kLeaveDiagnostic = 0xFF;  // also leaves CO regulation
// After the echo of kEnterDiagnostic the ECU answers one of these when it enters.
inline constexpr uint8_t kEnteredAnswerFF = 0xFF;
inline constexpr uint8_t kEnteredAnswerAA = 0xAA;
// After the echo of kLeaveDiagnostic the ECU answers this when it leaves.
inline constexpr uint8_t kLeftAnswer = 0xFF;

// Verdicts of a test.
inline constexpr uint8_t kTestFinished = 0xFF;
inline constexpr uint8_t kTestFailed = 0xEE;

// CO regulation.
inline constexpr uint8_t kEnterCo = 0x8D;
inline constexpr uint8_t kLeaveCo = 0xFF;
inline constexpr uint8_t kCoEntered = 0x8D;     // last answer byte once the ECU regulates
inline constexpr uint8_t kCoLeft = 0xFF;        // last answer byte once it stops
inline constexpr int32_t kTrimmerCentre = 127;  // byte value = slider position + 127

// Timings, ms.
inline constexpr uint32_t kEntryPauseMs = 500;     // before the entry request
inline constexpr uint32_t kEntrySettleMs = 28;     // before the flush
inline constexpr uint32_t kEntryAfterSendMs = 25;  // after sending 0xAA
inline constexpr int32_t kEntryTimeoutMs = 5000;
inline constexpr uint32_t kEntryFailedPauseMs = 500;  // before the failure message box
inline constexpr uint32_t kTestStartPauseMs = 50;     // after the yield, before sending
inline constexpr int32_t kTestAnswerTimeoutMs = 5000;
inline constexpr uint32_t kResultStepMs = 1000;  // one step of the result wait
inline constexpr uint32_t kExitSettleMs = 8;
inline constexpr int32_t kExitTimeoutMs = 3000;
inline constexpr uint32_t kCoPauseMs = 50;
inline constexpr int32_t kCoTimeoutMs = 5000;

// Interval of the main window's polling once the test window has closed.
inline constexpr int16_t kPollingAfterTestsMs = 20;

}  // namespace velarin::actuator_protocol
