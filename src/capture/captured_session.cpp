#include "capture/captured_session.h"

#include <algorithm>
#include <deque>

namespace velarin {
namespace {

// Echoes waited for at once; the wake-up answer leaves three behind, nothing leaves more.
constexpr size_t kMaxPendingEchoes = 16;

struct Span {
  size_t first;  // the open event
  size_t end;    // one past the segment's last event
};

// Builds the segment; with `strip`, a received byte that matches a request
// still waiting for its echo is that echo (older requests whose echo never
// came are given up). Returns how many requests found their echo.
size_t Build(const Capture& capture, Span span, bool strip, CapturedSegment& out) {
  const CaptureEvent& open = capture.events[span.first];
  out = CapturedSegment{};
  out.device = open.text;
  int32_t rate = open.rate.value_or(0);
  std::deque<uint8_t> pending;
  size_t echoes = 0;
  for (size_t i = span.first + 1; i < span.end; ++i) {
    const CaptureEvent& e = capture.events[i];
    const uint64_t since_open = e.at_us - open.at_us;
    switch (e.kind) {
      case CaptureEventKind::kRate:
        rate = e.rate.value_or(e.asked);
        break;
      case CaptureEventKind::kSent:
        out.exchanges.push_back({since_open, e.bytes.front(), rate, {}});
        pending.push_back(e.bytes.front());
        if (pending.size() > kMaxPendingEchoes) pending.pop_front();
        break;
      case CaptureEventKind::kReceived:
        for (uint8_t b : e.bytes) {
          if (strip) {
            auto echo = std::find(pending.begin(), pending.end(), b);
            if (echo != pending.end()) {
              pending.erase(pending.begin(), echo + 1);
              ++echoes;
              continue;
            }
          }
          if (out.exchanges.empty()) {
            out.unsolicited.push_back({since_open, b, rate});
          } else {
            CapturedExchange& last = out.exchanges.back();
            last.answer.push_back({since_open - last.at_us, b, rate});
          }
        }
        break;
      default:
        break;
    }
  }
  return echoes;
}

}  // namespace

std::vector<CapturedSegment> SplitCapturedSession(const Capture& capture) {
  std::vector<Span> spans;
  for (size_t i = 0; i < capture.events.size(); ++i) {
    if (capture.events[i].kind != CaptureEventKind::kOpen) continue;
    if (!spans.empty()) spans.back().end = i;
    spans.push_back({i, capture.events.size()});
  }
  std::vector<CapturedSegment> segments;
  for (const Span& span : spans) {
    CapturedSegment segment;
    const size_t echoes = Build(capture, span, true, segment);
    // An adapter without echo: its answers must not be mistaken for echoes.
    if (echoes * 2 < segment.exchanges.size()) {
      Build(capture, span, false, segment);
    } else {
      segment.echo = !segment.exchanges.empty();
    }
    segments.push_back(std::move(segment));
  }
  return segments;
}

}  // namespace velarin
