#pragma once
// The "DTC" read: asks the ECU for its two fault bytes and the detail byte and
// prints the thirteen-line report into the main window's log.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "diagnostics/fault_report.h"
#include "forms/form2.h"
#include "forms/protocol_state.h"
#include "platform/clock.h"
#include "protocol/kline_codes.h"

namespace velarin {

// Requests, in the order they are sent: fault byte 1, fault byte 2, detail byte.
inline constexpr std::array<uint8_t, 3> kFaultRequests = {kline::kFault1, kline::kFault2,
                                                          kline::kDetail};
inline constexpr int32_t kFaultAnswerTimeoutMs = 2000;   // per request: echo + one byte
inline constexpr uint32_t kFaultSettleMs = 50;           // pause after each answer
inline constexpr int16_t kPollingAfterFaultReadMs = 50;  // polling interval afterwards

// The value of one answer: the byte after the echo, or 0 when the first byte
// received is not the echo of `request` (or nothing follows it).
uint8_t FaultAnswerValue(uint8_t request, const std::vector<uint8_t>& answer);

// Stops the polling, sends the three requests and, when all three were answered
// within 2000 ms each, appends the report to the main window's log. A time-out
// prints nothing at all. The polling then restarts at 50 ms, over a connection only.
void ReadFaultStatus(Form2& f, ProtocolState& p, Clock& clock);

}  // namespace velarin
