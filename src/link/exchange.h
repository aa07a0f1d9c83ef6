#pragma once
// The exchange primitives every procedure is built from: flush, send one byte,
// wait for a byte count with a time-out, read all, hex text, ask one byte, log.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/link_port.h"
#include "forms/trace_log.h"
#include "platform/clock.h"

namespace velarin {

// The sleeps of one pass of a byte wait, in the order they are made. A pass:
// test the count; sleep before_read; read the clock; sleep before_check (up to
// two sleeps); give up when now - start > time-out; sleep after_check (up to two).
struct PollStep {
  uint8_t before_read = 0;
  uint8_t before_check[2] = {0, 0};
  uint8_t after_check[2] = {0, 0};
};

// The ordinary pass: read the clock, sleep 3 ms, sleep 1 ms, test the time-out.
inline constexpr PollStep kPoll3Then1{0, {3, 1}, {0, 0}};
// The same with a single 3 ms sleep.
inline constexpr PollStep kPoll3{0, {3, 0}, {0, 0}};
// Diagnostic-mode entry: sleep 1 ms, read the clock, sleep 3 ms, test.
inline constexpr PollStep kPollEntry{1, {3, 0}, {0, 0}};
// Test start: read the clock, sleep 3 ms, test, sleep 1 ms.
inline constexpr PollStep kPollTestStart{0, {3, 0}, {1, 0}};
// Diagnostic-mode exit: read the clock, test, sleep 1 ms, sleep 3 ms.
inline constexpr PollStep kPollExit{0, {0, 0}, {1, 3}};

// A one-byte request waits for the adapter's echo and the ECU's answer byte.
inline constexpr int kEchoAndAnswer = 2;

// The pause before each flush that lets the line settle (ask, wake-up answer,
// Connect, diagnostic-mode exit).
inline constexpr uint32_t kSettleBeforeFlushMs = 8;
// How long AskByte waits for the echo and the answer.
inline constexpr int32_t kAskTimeoutMs = 3000;

// The two clock readings of a wait: its start and the last reading of a pass
// (both 0 before any pass ran). The identification reads log their difference.
struct WaitReadings {
  uint32_t start = 0;
  uint32_t now = 0;
};

void FlushInput(LinkPort& port);
void SendByte(LinkPort& port, uint8_t byte);
// True once at least `count` bytes are waiting; false after the time-out,
// judged strictly (now - start > timeout) against the reading taken before the sleeps.
bool WaitForInput(LinkPort& port, Clock& clock, int count, int32_t timeout_ms, PollStep step,
                  WaitReadings* readings = nullptr);
std::vector<uint8_t> ReadInput(LinkPort& port);
// Two upper-case hex digits per byte, no separators: {0x00, 0x0A, 0xFF} -> "000AFF".
std::string HexText(const std::vector<uint8_t>& bytes);
// Sleep 8 ms, flush, send `code`, wait for 2 bytes (3000 ms), return the second
// byte received; nullopt on time-out.
std::optional<uint8_t> AskByte(LinkPort& port, Clock& clock, uint8_t code, PollStep step,
                               WaitReadings* readings = nullptr);
void AppendLog(TraceLog& log, std::string_view text);
void ScrollLogToEnd(TraceLog& log);

}  // namespace velarin
