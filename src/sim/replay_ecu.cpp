#include "sim/replay_ecu.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "capture/capture_format.h"
#include "protocol/kline_codes.h"
#include "protocol/line_rates.h"
#include "protocol/wire_timing.h"
#include "sim/replay_texts.h"

namespace velarin {
namespace {

namespace texts = replay_texts;

std::string Code(uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

class ReplayEcu : public SimulatedEcu {
 public:
  ReplayEcu(std::shared_ptr<Replay> replay, EcuScheduler& scheduler, WireListener& listener)
      : replay_(std::move(replay)), scheduler_(scheduler), listener_(listener) {}

  void IgnitionOn() override {
    if (on_) return;
    const auto& segments = replay_->segments();
    if (segments.empty()) {
      replay_->AddNote(std::string(texts::kPrefix) + std::string(texts::kNoSession));
      return;
    }
    ++generation_;
    on_ = true;
    segment_ = (segment_ + 1) % segments.size();
    if (segments.size() > 1) {
      replay_->AddNote(std::string(texts::kPrefix) + std::string(texts::kNextSession) +
                       std::to_string(segment_ + 1) + std::string(texts::kOf) +
                       std::to_string(segments.size()));
    }
    cursor_ = 0;
    end_said_ = false;
    const uint64_t now = scheduler_.NowUs();
    ecu_tx_free_us_ = now;
    EmitAll(segments[segment_].unsolicited, now, now);
  }

  void IgnitionOff() override {
    ++generation_;
    on_ = false;
  }

  void ProgramSends(uint8_t byte, int32_t program_baud) override {
    const uint64_t start = std::max(scheduler_.NowUs(), program_tx_free_us_);
    const uint64_t end = start + ByteTimeUs(program_baud);
    program_tx_free_us_ = end;
    listener_.OnWire(start, end, true, byte, program_baud);
    scheduler_.AtUs(end, [this, byte, program_baud, start, end, generation = generation_] {
      if (Segment().echo) listener_.OnArrival(byte, program_baud);
      if (on_ && generation == generation_) Hear(byte, program_baud, start, end);
    });
  }

  void InjectFromEcu(const std::vector<uint8_t>& bytes) override {
    const uint64_t now = scheduler_.NowUs();
    for (uint8_t b : bytes) Emit({0, b, last_rate_}, now, now);
  }

 private:
  const CapturedSegment& Segment() const {
    static const CapturedSegment kNone;
    const auto& segments = replay_->segments();
    if (segments.empty()) return kNone;
    return segments[segment_ < segments.size() ? segment_ : 0];
  }

  // Puts `bytes` on the wire, each arrived by `base_us` + its time, after whatever
  // the ECU is still sending and not before `earliest_start_us`. Bytes the capture
  // saw at one moment had arrived by then, one after the other: the last at that
  // moment, each earlier one a byte's time before the next.
  void EmitAll(const std::vector<CapturedByte>& bytes, uint64_t base_us,
               uint64_t earliest_start_us) {
    for (size_t i = 0; i < bytes.size(); ++i) {
      size_t after = 0;
      while (i + after + 1 < bytes.size() && bytes[i + after + 1].at_us == bytes[i].at_us) ++after;
      const uint64_t ahead = after * ByteTimeUs(Rate(bytes[i]));
      const uint64_t at = base_us + bytes[i].at_us;
      Emit(bytes[i], at - std::min(at, ahead), earliest_start_us);
    }
  }

  int32_t Rate(const CapturedByte& b) const { return b.rate > 0 ? b.rate : last_rate_; }

  void Emit(const CapturedByte& b, uint64_t arrive_us, uint64_t earliest_start_us) {
    const int32_t rate = Rate(b);
    const uint64_t duration = ByteTimeUs(rate);
    const uint64_t start =
        std::max({arrive_us - std::min(arrive_us, duration), ecu_tx_free_us_, earliest_start_us});
    const uint64_t end = start + duration;
    ecu_tx_free_us_ = end;
    scheduler_.AtUs(end, [this, byte = b.byte, rate, start, end, generation = generation_] {
      if (generation != generation_) return;
      listener_.OnWire(start, end, false, byte, rate);
      listener_.OnArrival(byte, rate);
    });
  }

  void Hear(uint8_t byte, int32_t program_baud, uint64_t start_us, uint64_t end_us) {
    const std::vector<CapturedExchange>& exchanges = Segment().exchanges;
    if (exchanges.empty()) {
      Note(Code(byte) + std::string(texts::kNeverCaptured));
      return;
    }
    if (cursor_ == exchanges.size() && !end_said_) {
      end_said_ = true;
      Note(std::string(texts::kEndOfCapture));
    }
    const size_t stop = std::min(exchanges.size(), cursor_ + Replay::kLookAhead);
    for (size_t i = cursor_; i < stop; ++i) {
      if (exchanges[i].request != byte) continue;
      if (!Heard(exchanges[i], program_baud)) return;
      cursor_ = i + 1;
      Answer(exchanges[i], start_us, end_us);
      return;
    }
    // Not at this point: the most likely answer is the one the ECU gave last time.
    for (size_t i = std::min(cursor_, exchanges.size()); i-- > 0;) {
      if (exchanges[i].request != byte) continue;
      if (!Heard(exchanges[i], program_baud)) return;
      if (cursor_ < exchanges.size()) Note(Code(byte) + std::string(texts::kAnsweredAsLast));
      Answer(exchanges[i], start_us, end_us);
      return;
    }
    for (size_t i = stop; i < exchanges.size(); ++i) {
      if (exchanges[i].request != byte) continue;
      if (!Heard(exchanges[i], program_baud)) return;
      Note(Code(byte) + std::string(texts::kAnsweredAsLater));
      Answer(exchanges[i], start_us, end_us);
      return;
    }
    Note(Code(byte) + std::string(texts::kNeverCaptured));
  }

  // The ECU hears only at the rate the capture had in force for that request.
  bool Heard(const CapturedExchange& exchange, int32_t program_baud) {
    if (exchange.rate <= 0 || SameLineRate(program_baud, exchange.rate)) return true;
    Note(Code(exchange.request) + std::string(texts::kWrongRateA) + std::to_string(program_baud) +
         std::string(texts::kWrongRateB) + std::to_string(exchange.rate) +
         std::string(texts::kWrongRateC));
    return false;
  }

  void Answer(const CapturedExchange& exchange, uint64_t start_us, uint64_t end_us) {
    if (exchange.rate > 0) last_rate_ = exchange.rate;
    EmitAll(exchange.answer, start_us, end_us);
  }

  void Note(const std::string& text) { replay_->AddNote(std::string(texts::kPrefix) + text); }

  std::shared_ptr<Replay> replay_;
  EcuScheduler& scheduler_;
  WireListener& listener_;

  bool on_ = false;
  uint64_t generation_ = 0;  // bumped by every ignition change; stale events check it
  size_t segment_ = static_cast<size_t>(-1);
  size_t cursor_ = 0;
  bool end_said_ = false;
  int32_t last_rate_ = kWakeBaud;  // for bytes whose rate the capture did not know
  uint64_t program_tx_free_us_ = 0;
  uint64_t ecu_tx_free_us_ = 0;
};

}  // namespace

std::string FamilyNoteValue(EcuFamily family) { return std::string(FactsOf(family).caption); }

Replay::Replay(const Capture& capture)
    : segments_(SplitCapturedSession(capture)), family_note_(capture.Note(kFamilyNoteKey)) {}

std::shared_ptr<Replay> Replay::Load(const std::string& path, std::string* error) {
  CaptureParse parse = ReadCaptureFile(path, CutShort::kAccept);
  if (!parse.capture) {
    if (error != nullptr) *error = parse.error;
    return nullptr;
  }
  auto replay = std::make_shared<Replay>(*parse.capture);
  if (!parse.warning.empty()) replay->AddNote(std::string(texts::kPrefix) + parse.warning);
  return replay;
}

std::optional<EcuFamily> Replay::family() const {
  if (family_note_) {
    for (const FamilyFacts& f : kFamilies) {
      if (f.caption == *family_note_) return f.id;
    }
  }
  for (const CapturedSegment& s : segments_) {
    if (s.exchanges.empty()) continue;
    // The family whose row fits the traffic: how the link came up, and the code
    // its trimmer was asked with (the first family with that start, if none fits both).
    const bool asks_0b = std::any_of(s.exchanges.begin(), s.exchanges.end(),
                                     [](const auto& e) { return e.request == kline::kTrimmer; });
    LinkStart start = LinkStart::kNoHandshake;
    if (!s.unsolicited.empty()) {
      start = LinkStart::kAwaitBurst;
    } else if (s.exchanges.front().request == kline::kWakeAnswer[0]) {
      start = LinkStart::kAnswerAtOnce;
    }
    std::optional<EcuFamily> same_start;
    for (const FamilyFacts& f : kFamilies) {
      if (f.link_start != start) continue;
      if ((f.live_frame->trimmer_code == kline::kTrimmer) == asks_0b) return f.id;
      if (!same_start) same_start = f.id;
    }
    return same_start;
  }
  return std::nullopt;
}

EcuFactory Replay::Factory() {
  return [self = shared_from_this()](EcuScheduler& scheduler, WireListener& listener) {
    return std::make_unique<ReplayEcu>(self, scheduler, listener);
  };
}

void Replay::AddNote(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (said_.size() >= kMaxNotes || !said_.insert(text).second) return;
  notes_.push_back(text);
}

std::vector<std::string> Replay::TakeNotes() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  out.swap(notes_);
  return out;
}

}  // namespace velarin
