#include "adaptercheck/adapter_check.h"

#include <algorithm>
#include <cstdio>

#include "adaptercheck/adapter_check_texts.h"
#include "adaptercheck/probe_bytes.h"
#include "protocol/line_rates.h"
#include "protocol/wire_timing.h"

namespace velarin {
namespace {

namespace texts = adapter_check_texts;

// A USB bridge in low-latency mode adds a millisecond or two to an echo; its
// default 16 ms latency timer shows in the median, a busy host in the worst.
constexpr uint64_t kOkMedianExcessUs = 4'000;
constexpr uint64_t kOkWorstExcessUs = 20'000;
constexpr uint32_t kQuietPollMs = 10;
constexpr uint32_t kTalkListenMs = 100;  // a six-byte burst at 1200 baud takes 50 ms
// After the echo the check listens on for an answer: three bytes' time and then
// some more than a latency timer holds bytes back.
constexpr uint32_t kAnswerMarginMs = 20;

std::string HexList(const std::vector<uint8_t>& bytes) {
  std::string out;
  char two[4];
  for (uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    std::snprintf(two, sizeof two, "%02X", b);
    out += two;
  }
  return out;
}

std::string Code(uint8_t b) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", b);
  return text;
}

std::string Ms(uint64_t us) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(us) / 1000.0);
  return text;
}

uint64_t Excess(uint64_t delay_us, int32_t rate) {
  const uint64_t byte_us = ByteTimeUs(rate);
  return delay_us > byte_us ? delay_us - byte_us : 0;
}

bool FastEcho(const EchoStats& s) {
  return !s.delays_us.empty() && Excess(s.median_us(), s.rate) <= kOkMedianExcessUs &&
         Excess(s.worst_us(), s.rate) <= kOkWorstExcessUs;
}

std::string_view Label(CheckItemId id) {
  switch (id) {
    case CheckItemId::kPort:
      return texts::kLabelPort;
    case CheckItemId::kQuiet:
      return texts::kLabelQuiet;
    case CheckItemId::kEcho:
      return texts::kLabelEcho;
    case CheckItemId::kDelay1200:
      return texts::kLabelDelay1200;
    case CheckItemId::kLineSpeed:
      return texts::kLabelLineSpeed;
    case CheckItemId::kDelay7812:
      return texts::kLabelDelay7812;
    case CheckItemId::kLowLatency:
      return texts::kLabelLowLatency;
    case CheckItemId::kLostAltered:
      return texts::kLabelLostAltered;
  }
  return {};
}

class Checker {
 public:
  Checker(SerialDevice& device, Clock& clock, const AdapterCheckOptions& options)
      : device_(device), clock_(clock), options_(options), last_ms_(clock.NowMs()) {}

  AdapterCheckResult Run() {
    bool opened_here = false;
    if (!device_.IsOpen()) {
      if (!device_.Open(options_.device_path)) {
        r_.items.push_back({CheckItemId::kPort, CheckVerdict::kFail, device_.LastError(),
                            std::string(texts::kHintPort)});
        r_.stopped = true;
        r_.stop_text = std::string(texts::kStopPort) + device_.LastError();
        return r_;
      }
      opened_here = true;
    }
    const std::optional<int32_t> rate_before = device_.ReadBaud();
    Steps();
    if (device_.IsOpen()) {
      if (opened_here) {
        device_.Close();
      } else if (rate_before.has_value()) {
        (void)device_.WriteBaud(*rate_before);
      }
    }
    return r_;
  }

 private:
  enum class Outcome { kEcho, kLost, kAltered, kUnexpected, kPortFailed };

  uint64_t NowUs() {
    if (options_.now_us) return options_.now_us();
    const uint32_t now = clock_.NowMs();
    ms_total_ += static_cast<uint32_t>(now - last_ms_);
    last_ms_ = now;
    return ms_total_ * 1000;
  }

  void Steps() {
    // An open leaves the port at 1200; a port opened by the caller may be elsewhere.
    if (device_.ReadBaud() != kWakeBaud && !device_.WriteBaud(kWakeBaud)) return PortFailed();
    if (!Quiet()) return;
    if (!ProbeAll(kWakeBaud, r_.at_wake)) return;
    r_.items.push_back(EchoItem());
    r_.items.push_back(DelayItem(CheckItemId::kDelay1200, r_.at_wake));

    const bool rate_set = device_.WriteBaud(kKLineBaud);
    if (!device_.IsOpen()) return PortFailed();
    r_.items.push_back(LineSpeedItem(rate_set));
    if (rate_set) {
      if (!ProbeAll(kKLineBaud, r_.at_kline)) return;
    }
    r_.at_kline.rate = kKLineBaud;
    if (rate_set) {
      r_.items.push_back(DelayItem(CheckItemId::kDelay7812, r_.at_kline));
    } else {
      r_.items.push_back(
          {CheckItemId::kDelay7812, CheckVerdict::kFail, std::string(texts::kRateNotSet), ""});
    }
    r_.latency = device_.ReadLatencyMode();
    r_.items.push_back(LatencyItem());
    r_.items.push_back(LostAlteredItem());
  }

  void PortFailed() {
    r_.stopped = true;
    r_.stop_text = std::string(texts::kStopPort) + device_.LastError();
  }

  void Unexpected(uint8_t probe, const std::vector<uint8_t>& bytes) {
    r_.stopped = true;
    r_.stop_text = std::string(texts::kStopUnexpectedA) + Code(probe) + " (" + HexList(bytes) +
                   std::string(texts::kStopUnexpectedB);
  }

  // Nothing may arrive while nothing is sent: an ECU that talks is on.
  bool Quiet() {
    (void)device_.ReadAll();
    const uint32_t start = clock_.NowMs();
    while (Elapsed(start, clock_.NowMs()) < static_cast<int32_t>(options_.quiet_ms)) {
      clock_.Sleep(kQuietPollMs);
      if (!device_.IsOpen()) {
        PortFailed();
        return false;
      }
      if (device_.BytesWaiting() > 0) {
        // The rest of what the ECU says tells the user more than its first byte.
        clock_.Sleep(kTalkListenMs);
        const std::vector<uint8_t> bytes = device_.ReadAll();
        r_.stopped = true;
        r_.stop_text =
            std::string(texts::kStopQuietA) + HexList(bytes) + std::string(texts::kStopQuietB);
        return false;
      }
    }
    r_.items.push_back(
        {CheckItemId::kQuiet, CheckVerdict::kOk,
         std::string(texts::kQuietA) + std::to_string(options_.quiet_ms) + std::string(texts::kMs),
         ""});
    return true;
  }

  bool ProbeAll(int32_t rate, EchoStats& stats) {
    stats.rate = rate;
    for (int i = 0; i < options_.probes_per_rate; ++i) {
      const uint8_t probe = kProbeBytes[static_cast<size_t>(i) % kProbeBytes.size()];
      const Outcome outcome = Probe(probe, rate, stats);
      if (outcome == Outcome::kPortFailed) {
        PortFailed();
        return false;
      }
      if (outcome == Outcome::kUnexpected) return false;
      // An adapter that does not echo shows it at once; fifty time-outs tell nothing more.
      if (stats.echoed == 0 && stats.altered == 0 && stats.lost >= kNoEchoAfter) break;
    }
    return true;
  }

  Outcome Probe(uint8_t probe, int32_t rate, EchoStats& stats) {
    const std::vector<uint8_t> stale = device_.ReadAll();
    if (!device_.IsOpen()) return Outcome::kPortFailed;
    if (!stale.empty()) {
      Unexpected(last_probe_, stale);
      return Outcome::kUnexpected;
    }
    last_probe_ = probe;
    const uint64_t sent_us = NowUs();
    if (!device_.WriteByte(probe)) return Outcome::kPortFailed;
    ++stats.sent;
    const uint32_t start = clock_.NowMs();
    bool arrived = false;
    for (;;) {
      if (device_.BytesWaiting() > 0) {
        arrived = true;
        break;
      }
      if (!device_.IsOpen()) return Outcome::kPortFailed;
      if (Elapsed(start, clock_.NowMs()) > static_cast<int32_t>(kEchoTimeoutMs)) break;
      clock_.Sleep(1);
    }
    const uint64_t seen_us = NowUs();
    clock_.Sleep(static_cast<uint32_t>(3 * ByteTimeUs(rate) / 1000) + kAnswerMarginMs);
    const std::vector<uint8_t> got = device_.ReadAll();
    if (!device_.IsOpen()) return Outcome::kPortFailed;
    const bool one_echo = got.size() == 1 && got[0] == probe;
    if (got.empty() || (!arrived && one_echo)) {  // none, or an echo too late to count
      ++stats.lost;
      return Outcome::kLost;
    }
    if (got.size() > 1 || !arrived) {
      Unexpected(probe, got);
      return Outcome::kUnexpected;
    }
    if (!one_echo) {
      ++stats.altered;
      return Outcome::kAltered;
    }
    ++stats.echoed;
    stats.delays_us.push_back(seen_us - sent_us);
    return Outcome::kEcho;
  }

  CheckItem EchoItem() const {
    const EchoStats& s = r_.at_wake;
    if (s.echoed == 0) {
      return {CheckItemId::kEcho, CheckVerdict::kFail,
              std::string(texts::kEchoNoA) + std::to_string(s.sent) + std::string(texts::kEchoNoB),
              std::string(texts::kHintNoEcho)};
    }
    return {CheckItemId::kEcho, CheckVerdict::kOk,
            std::string(texts::kEchoYesA) + std::to_string(s.echoed) + std::string(texts::kOf) +
                std::to_string(s.sent) + std::string(texts::kEchoYesB),
            ""};
  }

  static CheckItem DelayItem(CheckItemId id, const EchoStats& s) {
    if (s.delays_us.empty()) {
      return {id, CheckVerdict::kFail, std::string(texts::kNoEchoToTime), ""};
    }
    const bool fast = FastEcho(s);
    return {id, fast ? CheckVerdict::kOk : CheckVerdict::kWarn,
            std::string(texts::kMedian) + Ms(s.median_us()) + std::string(texts::kWorst) +
                Ms(s.worst_us()) + std::string(texts::kOver) + std::to_string(s.delays_us.size()) +
                std::string(texts::kByteTakes) + Ms(ByteTimeUs(s.rate)) +
                std::string(texts::kByteTakesEnd),
            fast ? "" : std::string(texts::kHintSlowEcho)};
  }

  CheckItem LineSpeedItem(bool rate_set) {
    const CheckItemId id = CheckItemId::kLineSpeed;
    if (!rate_set) {
      return {id, CheckVerdict::kFail, std::string(texts::kRateRefused) + device_.LastError(),
              std::string(texts::kHintRateRefused)};
    }
    r_.rate_read_back = device_.ReadBaud();
    if (!r_.rate_read_back.has_value()) {
      return {id, CheckVerdict::kWarn, std::string(texts::kRateUnread),
              std::string(texts::kHintRateUnread)};
    }
    const int32_t rate = *r_.rate_read_back;
    const std::string value = std::to_string(rate) + std::string(texts::kBaud);
    if (FarFromKLine(rate)) {
      return {id, CheckVerdict::kFail, value,
              std::string(texts::kHintRateFarA) + std::to_string(rate) +
                  std::string(texts::kHintRateFarB)};
    }
    return {id, CheckVerdict::kOk, value, ""};
  }

  CheckItem LatencyItem() const {
    const LatencyMode& mode = r_.latency;
    std::string timer;
    if (mode.timer_ms.has_value()) {
      timer = std::string(texts::kLatencyTimerA) + std::to_string(*mode.timer_ms) +
              std::string(texts::kLatencyTimerB);
    }
    const std::string tty = mode.tty.empty() ? std::string(texts::kUnknownTty) : mode.tty;
    const std::string hint = std::string(texts::kHintLowLatencyA) + tty +
                             std::string(texts::kHintLowLatencyB) + tty +
                             std::string(texts::kHintLowLatencyC);
    const CheckItemId id = CheckItemId::kLowLatency;
    switch (mode.low_latency) {
      case LatencyMode::LowLatency::kOn:
        return {id, CheckVerdict::kOk, std::string(texts::kLatencyOn) + timer, ""};
      case LatencyMode::LowLatency::kOff:
        return {id, CheckVerdict::kWarn, std::string(texts::kLatencyOff) + timer, hint};
      case LatencyMode::LowLatency::kUnknown:
        break;
    }
    // Where the driver does not say, the echoes at the K-line rate tell what matters.
    const EchoStats& timed = r_.at_kline.delays_us.empty() ? r_.at_wake : r_.at_kline;
    if (FastEcho(timed)) {
      return {id, CheckVerdict::kOk,
              std::string(texts::kLatencyUnknown) + std::string(texts::kLatencyFastEcho), ""};
    }
    return {id, CheckVerdict::kWarn, std::string(texts::kLatencyUnknown), hint};
  }

  CheckItem LostAlteredItem() const {
    const EchoStats& a = r_.at_wake;
    const EchoStats& b = r_.at_kline;
    const CheckItemId id = CheckItemId::kLostAltered;
    if (a.echoed + b.echoed == 0)
      return {id, CheckVerdict::kFail, std::string(texts::kNoEchoToTime), ""};
    const int sent = a.sent + b.sent;
    const int lost = a.lost + b.lost;
    const int altered = a.altered + b.altered;
    if (lost + altered == 0) {
      return {id, CheckVerdict::kOk,
              std::string(texts::kNoneLostA) + std::to_string(sent) + std::string(texts::kBytes),
              ""};
    }
    return {id, CheckVerdict::kFail,
            std::to_string(lost) + std::string(texts::kLost) + std::to_string(altered) +
                std::string(texts::kAltered) + std::to_string(sent) + std::string(texts::kBytes),
            std::string(texts::kHintLostAltered)};
  }

  SerialDevice& device_;
  Clock& clock_;
  const AdapterCheckOptions& options_;
  AdapterCheckResult r_;
  uint32_t last_ms_;
  uint64_t ms_total_ = 0;
  uint8_t last_probe_ = 0;
};

}  // namespace

uint64_t EchoStats::median_us() const {
  if (delays_us.empty()) return 0;
  std::vector<uint64_t> sorted = delays_us;
  std::sort(sorted.begin(), sorted.end());
  const size_t mid = sorted.size() / 2;
  return sorted.size() % 2 == 1 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

uint64_t EchoStats::worst_us() const {
  return delays_us.empty() ? 0 : *std::max_element(delays_us.begin(), delays_us.end());
}

const CheckItem* AdapterCheckResult::Find(CheckItemId id) const {
  for (const CheckItem& item : items) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

CheckVerdict AdapterCheckResult::Overall() const {
  CheckVerdict worst = stopped ? CheckVerdict::kFail : CheckVerdict::kOk;
  for (const CheckItem& item : items) worst = std::max(worst, item.verdict);
  return worst;
}

AdapterCheckResult RunAdapterCheck(SerialDevice& device, Clock& clock,
                                   const AdapterCheckOptions& options) {
  return Checker(device, clock, options).Run();
}

std::vector<std::string> AdapterCheckLines(const AdapterCheckResult& result) {
  std::vector<std::string> lines;
  lines.push_back(std::string(texts::kIntroA) +
                  HexList(std::vector<uint8_t>(kProbeBytes.begin(), kProbeBytes.end())) +
                  std::string(texts::kIntroB));
  for (const CheckItem& item : result.items) {
    std::string_view tag = texts::kTagOk;
    if (item.verdict == CheckVerdict::kWarn) tag = texts::kTagWarn;
    if (item.verdict == CheckVerdict::kFail) tag = texts::kTagFail;
    lines.push_back(std::string(tag) + std::string(Label(item.id)) +
                    std::string(texts::kLabelSeparator) + item.value);
    if (!item.hint.empty()) lines.push_back(std::string(texts::kHintIndent) + item.hint);
  }
  if (result.stopped) {
    lines.push_back(result.stop_text);
  } else {
    switch (result.Overall()) {
      case CheckVerdict::kOk:
        lines.push_back(std::string(texts::kResultOk));
        break;
      case CheckVerdict::kWarn:
        lines.push_back(std::string(texts::kResultWarn));
        break;
      case CheckVerdict::kFail:
        lines.push_back(std::string(texts::kResultFail));
        break;
    }
  }
  return lines;
}

}  // namespace velarin
