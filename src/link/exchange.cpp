#include "link/exchange.h"

namespace velarin {
namespace {

void SleepIf(Clock& clock, uint8_t ms) {
  if (ms > 0) clock.Sleep(ms);
}

// Hex digit pairs of one byte, upper case.
constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

void FlushInput(LinkPort& port) {
  if (port.PortOpen()) (void)port.device->ReadAll();
}

void SendByte(LinkPort& port, uint8_t byte) {
  if (port.PortOpen()) (void)port.device->WriteByte(byte);
}

bool WaitForInput(LinkPort& port, Clock& clock, int count, int32_t timeout_ms, PollStep step,
                  WaitReadings* readings) {
  const uint32_t start = clock.NowMs();
  if (readings != nullptr) readings->start = start;
  for (;;) {
    if (port.PortOpen() && port.device->BytesWaiting() >= count) return true;
    SleepIf(clock, step.before_read);
    const uint32_t now = clock.NowMs();
    if (readings != nullptr) readings->now = now;
    SleepIf(clock, step.before_check[0]);
    SleepIf(clock, step.before_check[1]);
    if (Elapsed(start, now) > timeout_ms) return false;
    SleepIf(clock, step.after_check[0]);
    SleepIf(clock, step.after_check[1]);
  }
}

std::vector<uint8_t> ReadInput(LinkPort& port) {
  if (!port.PortOpen()) return {};
  return port.device->ReadAll();
}

std::string HexText(const std::vector<uint8_t>& bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    hex.push_back(kHexDigits[b >> 4]);
    hex.push_back(kHexDigits[b & 0x0F]);
  }
  return hex;
}

std::optional<uint8_t> AskByte(LinkPort& port, Clock& clock, uint8_t code, PollStep step,
                               WaitReadings* readings) {
  clock.Sleep(kSettleBeforeFlushMs);
  FlushInput(port);
  SendByte(port, code);
  if (!WaitForInput(port, clock, kEchoAndAnswer, kAskTimeoutMs, step, readings))
    return std::nullopt;
  std::vector<uint8_t> bytes = ReadInput(port);
  // The first byte is the adapter's echo; the second is the answer; more are ignored.
  if (bytes.size() < 2) return std::nullopt;  // the device vanished between wait and read
  return bytes[1];
}

void AppendLog(TraceLog& log, std::string_view text) { log.Append(text); }

void ScrollLogToEnd(TraceLog& log) { log.ScrollToEnd(); }

}  // namespace velarin
