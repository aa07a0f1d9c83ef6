#include "livedata/channel_exchange.h"

#include <string>
#include <vector>

#include "link/exchange.h"
#include "link/numbers.h"

namespace velarin {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Wait(const FrameLink& link, int count) {
  return WaitForInput(link.port, link.clock, count, kAnswerTimeoutMs, kPoll3);
}

}  // namespace

std::optional<uint8_t> DataBehindEcho(std::string_view hex, size_t echo_at, uint8_t code) {
  const size_t at = echo_at * 2;
  if (hex.size() < at + 4) return std::nullopt;
  if (hex.substr(at, 2) != HexText({code})) return std::nullopt;
  const int high = HexValue(hex[at + 2]);
  const int low = HexValue(hex[at + 3]);
  if (high < 0 || low < 0) return std::nullopt;
  return static_cast<uint8_t>(high * 16 + low);
}

uint32_t FramePauseMs(const Form2& f, const FrameProfile& profile) {
  if (profile.pause == PauseSource::kFixed8ms) return kFixedPauseMs;
  int32_t ms = 0;
  if (!ToInt32(NumberFromText(f.Text11.text), &ms) || ms < 0) return 0;
  return static_cast<uint32_t>(ms);
}

void FramePause(const FrameLink& link, const FrameProfile& profile) {
  const uint32_t ms = FramePauseMs(link.form, profile);
  if (ms > 0) link.clock.Sleep(ms);
}

bool RunChannelExchange(const FrameLink& link, const FrameProfile& profile,
                        const ChannelRequest& request, bool with_15rc, ChannelAnswer* answer) {
  LinkPort& port = link.port;
  *answer = ChannelAnswer{};
  FramePause(link, profile);
  FlushInput(port);
  SendByte(port, request.code);
  if (!Wait(link, kEchoAndAnswer)) return false;
  bool paired = false;
  switch (request.kind) {
    case ExchangeKind::kOneCode:
      break;
    case ExchangeKind::kTwoCodes:
      // The first answer stays in the buffer; both are read together.
      FramePause(link, profile);
      SendByte(port, request.second_code);
      if (!Wait(link, 2 * kEchoAndAnswer)) return false;
      paired = true;
      break;
    case ExchangeKind::kThrottle:
      if (with_15rc) {
        SendByte(port, request.second_code);
        if (!Wait(link, 2 * kEchoAndAnswer)) return false;
        paired = true;
      }
      break;
  }
  const std::string hex = HexText(ReadInput(port));
  answer->first = DataBehindEcho(hex, 0, request.code);
  if (paired) answer->second = DataBehindEcho(hex, 2, request.second_code);
  return true;
}

}  // namespace velarin
