#include "sim/ecu_model.h"

#include <algorithm>
#include <utility>

#include "protocol/kline_codes.h"
#include "protocol/line_rates.h"
#include "protocol/wire_timing.h"
#include "sim/engine_model.h"

namespace velarin {
namespace {

LinkStart StartOf(EcuFamily family) { return FactsOf(family).link_start; }

bool IsLowByteOfPair(uint8_t code) {
  return code == kline::kRpmLow || code == kline::kInjectionLow;
}
bool IsHighByteOfPair(uint8_t code) {
  return code == kline::kRpmHigh || code == kline::kInjectionHigh;
}

}  // namespace

EcuModel::EcuModel(EcuScenario scenario, EcuScheduler& scheduler, WireListener& listener)
    : scenario_(std::move(scenario)),
      scheduler_(scheduler),
      listener_(listener),
      trimmer_(scenario_.trimmer) {}

int32_t EcuModel::ecu_baud() const {
  if (StartOf(scenario_.family) == LinkStart::kNoHandshake || phase_ == Phase::kAwake) {
    return kKLineBaud;
  }
  return kWakeBaud;
}

void EcuModel::Later(uint64_t when_us, std::function<void()> fn) {
  scheduler_.AtUs(when_us, [this, generation = generation_, fn = std::move(fn)] {
    if (generation == generation_) fn();
  });
}

uint64_t EcuModel::Transmit(const std::vector<uint8_t>& bytes, uint64_t earliest_us, int32_t baud) {
  if (bytes.empty()) return earliest_us;
  uint64_t t = std::max(earliest_us, ecu_tx_free_us_);
  for (uint8_t b : bytes) {
    const uint64_t start = t;
    t += ByteTimeUs(baud);
    Later(t, [this, b, start, end = t, baud] {
      listener_.OnWire(start, end, false, b, baud);
      listener_.OnArrival(b, baud);
    });
  }
  ecu_tx_free_us_ = t;
  return t;
}

void EcuModel::IgnitionOn() {
  if (phase_ != Phase::kOff) return;
  ++generation_;
  phase_ = Phase::kBooting;
  mode_ = Mode::kNormal;
  handshake_matched_ = 0;
  latched_.clear();
  ignition_at_us_ = scheduler_.NowUs();
  ecu_tx_free_us_ = ignition_at_us_;
  const uint64_t ready = ignition_at_us_ + uint64_t{scenario_.ignition_delay_ms} * 1000;
  const LinkStart start = StartOf(scenario_.family);
  if (start == LinkStart::kNoHandshake) {
    Later(ready, [this] { phase_ = Phase::kAwake; });
    return;
  }
  uint64_t listening = ready;
  if (start == LinkStart::kAwaitBurst) listening = Transmit(scenario_.burst, ready, kWakeBaud);
  Later(listening, [this] { phase_ = Phase::kHandshake; });
}

void EcuModel::IgnitionOff() {
  ++generation_;
  phase_ = Phase::kOff;
  mode_ = Mode::kNormal;
  handshake_matched_ = 0;
  latched_.clear();
  ecu_tx_free_us_ = 0;
}

void EcuModel::ProgramSends(uint8_t byte, int32_t program_baud) {
  const uint64_t start = std::max(scheduler_.NowUs(), program_tx_free_us_);
  const uint64_t end = start + ByteTimeUs(program_baud);
  program_tx_free_us_ = end;
  listener_.OnWire(start, end, true, byte, program_baud);
  // The adapter is powered from the PC: it echoes whatever the ECU is doing.
  scheduler_.AtUs(end, [this, byte, program_baud, end, generation = generation_] {
    auto stray = scenario_.stray_before_echo.find(byte);
    if (stray != scenario_.stray_before_echo.end()) {
      for (uint8_t b : stray->second) listener_.OnArrival(b, program_baud);
    }
    if (scenario_.echo) listener_.OnArrival(byte, program_baud);
    if (generation == generation_) Hear(byte, program_baud, end);
  });
}

void EcuModel::InjectFromEcu(const std::vector<uint8_t>& bytes) {
  Transmit(bytes, scheduler_.NowUs(), ecu_baud());
}

void EcuModel::Hear(uint8_t byte, int32_t program_baud, uint64_t end_us) {
  if (phase_ == Phase::kOff || phase_ == Phase::kBooting) return;
  if (!SameLineRate(program_baud, ecu_baud())) return;
  if (phase_ == Phase::kHandshake) {
    if (byte == kline::kWakeAnswer[handshake_matched_]) {
      ++handshake_matched_;
    } else {
      handshake_matched_ = byte == kline::kWakeAnswer[0] ? 1 : 0;
    }
    if (handshake_matched_ == std::size(kline::kWakeAnswer)) {
      phase_ = Phase::kAwake;
      handshake_matched_ = 0;
    }
    return;
  }
  Answer(byte, end_us);
}

void EcuModel::Answer(uint8_t code, uint64_t end_us) {
  std::vector<uint8_t> bytes;
  std::optional<TestVerdict> verdict;
  if (mode_ == Mode::kCoRegulation) {
    if (code == kline::kLeave) {
      mode_ = Mode::kDiagnostic;
      bytes = scenario_.co_exit_answer;
    } else {
      trimmer_ = code;
      if (scenario_.trimmer_confirm) bytes = {code};
    }
  } else if (mode_ == Mode::kDiagnostic) {
    if (code == kline::kLeave) {
      mode_ = Mode::kNormal;
      bytes = scenario_.diag_exit_answer;
    } else if (code == kline::kEnterCo) {
      mode_ = Mode::kCoRegulation;
      bytes = scenario_.co_entry_answer;
    } else if (code == kline::kEnterDiagnostic) {
      bytes = scenario_.diag_entry_answer;
    } else {
      auto it = scenario_.verdicts.find(code);
      verdict = it != scenario_.verdicts.end() ? it->second : TestVerdict{};
      bytes = verdict->first;
    }
  } else if (code == kline::kEnterDiagnostic) {
    mode_ = Mode::kDiagnostic;
    bytes = scenario_.diag_entry_answer;
  } else {
    bytes = NormalAnswer(code, end_us);
  }

  auto scripted = scenario_.answers.find(code);
  if (scripted != scenario_.answers.end()) {
    bytes = scripted->second;
    verdict.reset();
  }
  auto slow = scenario_.latency_for.find(code);
  const uint32_t latency_ms =
      slow != scenario_.latency_for.end() ? slow->second : scenario_.answer_latency_ms;
  const uint64_t done = Transmit(bytes, end_us + uint64_t{latency_ms} * 1000, ecu_baud());
  if (verdict.has_value() && !verdict->later.empty()) {
    const uint64_t when = done + uint64_t{verdict->later_after_ms} * 1000;
    Later(when, [this, later = verdict->later, when] { Transmit(later, when, ecu_baud()); });
  }
}

uint8_t EcuModel::trimmer_code() const {
  return FactsOf(scenario_.family).live_frame->trimmer_code;
}

uint8_t EcuModel::TrimmerByte() const {
  auto it = scenario_.raw.find(trimmer_code());
  return it != scenario_.raw.end() ? it->second : trimmer_;
}

std::vector<uint8_t> EcuModel::NormalAnswer(uint8_t code, uint64_t at_us) {
  auto character = [](const std::string& text, size_t index) -> std::vector<uint8_t> {
    if (index >= text.size()) return {};
    return {static_cast<uint8_t>(text[index])};
  };
  if (code >= kline::kIdentFirst && code <= kline::kIdentLast) {
    return character(scenario_.ident, code - kline::kIdentFirst);
  }
  if (code >= kline::kCalFirst && code <= kline::kCalLast) {
    return character(scenario_.calibration, code - kline::kCalFirst);
  }
  switch (code) {
    case kline::kFault1: {
      if (scenario_.fault1.has_value()) return {*scenario_.fault1};
      auto raw = scenario_.raw.find(code);
      return {raw != scenario_.raw.end() ? raw->second : TrimmerByte()};
    }
    case kline::kFault2:
      return {scenario_.fault2};
    case kline::kDetail:
      return {scenario_.detail};
    case kline::kTrimmer:
      if (trimmer_code() == kline::kTrimmer) return {TrimmerByte()};
      return {};
    default:
      return LiveAnswer(code, at_us);
  }
}

std::vector<uint8_t> EcuModel::LiveAnswer(uint8_t code, uint64_t at_us) {
  const EcuFamily family = scenario_.family;
  // A code the family does not have goes unanswered.
  if (!EncodeLive(family, code, EngineState{}).has_value()) return {};
  auto raw = scenario_.raw.find(code);
  if (raw != scenario_.raw.end()) return {raw->second};
  if (!scenario_.engine_model) return {0x00};
  if (IsLowByteOfPair(code)) {
    auto held = latched_.find(code);
    if (held != latched_.end()) {
      const uint8_t b = held->second;
      latched_.erase(held);
      return {b};
    }
  }
  const EngineState state = EngineAt(scenario_.model_seed, (at_us - ignition_at_us_) / 1000);
  if (IsHighByteOfPair(code)) {
    // Both halves of a period come from one sample, as the ECU's register pair does.
    latched_[static_cast<uint8_t>(code + 1)] = *EncodeLive(family, code + 1, state);
  }
  return {*EncodeLive(family, code, state)};
}

}  // namespace velarin
