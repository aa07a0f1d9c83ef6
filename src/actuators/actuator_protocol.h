#pragma once
// Timings of the ECU's diagnostic mode, its actuator tests and CO regulation
// (the bytes themselves are in protocol/kline_codes.h; the exit settles as every
// flush does, link/exchange.h).

#include <cstdint>

namespace velarin::actuator_protocol {

// Timings, ms.
inline constexpr uint32_t kEntryPauseMs = 500;     // before the entry request
inline constexpr uint32_t kEntrySettleMs = 28;     // before the flush
inline constexpr uint32_t kEntryAfterSendMs = 25;  // after sending 0xAA
inline constexpr int32_t kEntryTimeoutMs = 5000;
inline constexpr uint32_t kEntryFailedPauseMs = 500;  // before the failure message box
inline constexpr uint32_t kTestStartPauseMs = 50;     // after the yield, before sending
inline constexpr int32_t kTestAnswerTimeoutMs = 5000;
inline constexpr uint32_t kResultStepMs = 1000;  // one step of the result wait
inline constexpr int32_t kExitTimeoutMs = 3000;
inline constexpr uint32_t kCoPauseMs = 50;
inline constexpr int32_t kCoTimeoutMs = 5000;

// Interval of the main window's polling once the test window has closed.
inline constexpr int16_t kPollingAfterTestsMs = 20;

}  // namespace velarin::actuator_protocol
