#include "sim/simulated_line.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "protocol/line_rates.h"
#include "protocol/wire_timing.h"
#include "sim/ecu_model.h"

namespace velarin {
namespace {

constexpr size_t kReceiveBufferBytes = 1024;  // what the port's driver holds
// The records keep the most recent entries only, so a long demo run stays bounded.
constexpr size_t kRecordLimit = 1'000'000;

constexpr char kNoSuchFile[] = "No such file or directory";
constexpr char kIoError[] = "Input/output error";
constexpr char kNotOpen[] = "Bad file descriptor";
constexpr char kInvalid[] = "Invalid argument";

// Keeps at most `limit` entries, dropping the oldest quarter (at least one) at a time.
template <typename T>
void Bound(std::vector<T>& v, size_t limit) {
  if (v.size() > limit) v.erase(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(limit / 4 + 1));
}

}  // namespace

class SimulatedLine::Impl : public EcuScheduler, public WireListener, public SerialDevice {
 public:
  Impl(SimulatedLine& owner, VirtualClock& clock, EcuScenario scenario)
      : owner_(owner),
        clock_(clock),
        base_ms_(clock.NowMs() - static_cast<uint32_t>(clock.elapsed_total())) {
    auto model = std::make_unique<EcuModel>(std::move(scenario), *this, *this);
    model_ = model.get();
    ecu_ = std::move(model);
  }
  Impl(SimulatedLine& owner, VirtualClock& clock, const EcuFactory& ecu)
      : owner_(owner),
        clock_(clock),
        base_ms_(clock.NowMs() - static_cast<uint32_t>(clock.elapsed_total())),
        ecu_(ecu(*this, *this)) {}

  // EcuScheduler: the timeline is the clock's total elapsed time; events land on
  // the first whole millisecond at or after their exact moment.
  uint64_t NowUs() override { return clock_.elapsed_total() * 1000; }
  void AtUs(uint64_t when_us, std::function<void()> fn) override {
    const uint64_t due_ms = (when_us + 999) / 1000;
    const uint64_t total = clock_.elapsed_total();
    const uint64_t delay = due_ms > total ? due_ms - total : 0;
    // The clock may outlive the line; its leftover events then do nothing.
    clock_.Schedule(static_cast<uint32_t>(delay),
                    [alive = std::weak_ptr<bool>(alive_), fn = std::move(fn)] {
                      if (alive.lock()) fn();
                    });
  }

  // WireListener.
  void OnWire(uint64_t start_us, uint64_t end_us, bool from_program, uint8_t byte,
              int32_t baud) override {
    const auto at_ms = static_cast<uint32_t>(base_ms_ + start_us / 1000);
    const auto done_ms = static_cast<uint32_t>(base_ms_ + (end_us + 999) / 1000);
    // ECU bytes are reported once complete, so insert by start time.
    auto pos = std::upper_bound(wire_us_.begin(), wire_us_.end(), start_us);
    const auto index = pos - wire_us_.begin();
    wire_us_.insert(pos, start_us);
    wire_.insert(wire_.begin() + index, WireByte{at_ms, done_ms, from_program, byte, rate_, baud});
    Bound(wire_, record_limit_);
    Bound(wire_us_, record_limit_);
  }
  void OnArrival(uint8_t byte, int32_t baud) override {
    if (!open_) return;                      // nobody listening: lost
    if (!SameLineRate(baud, rate_)) return;  // framing errors at the wrong rate
    ++received_;
    if (owner_.lose_every != 0 && received_ % owner_.lose_every == 0) return;
    if (owner_.alter_every != 0 && received_ % owner_.alter_every == 0) byte ^= 0x10;
    if (owner_.adapter_latency_ms == 0) {
      Deliver(byte);
      return;
    }
    clock_.Schedule(owner_.adapter_latency_ms,
                    [this, alive = std::weak_ptr<bool>(alive_), byte, opened = opens_] {
                      if (alive.lock() && opened == opens_) Deliver(byte);
                    });
  }
  void Deliver(uint8_t byte) {
    if (!open_) return;
    if (buffer_.size() >= kReceiveBufferBytes) return;  // overrun
    buffer_.push_back(byte);
    data_arrived_ = true;
  }

  // SerialDevice.
  bool Open(const std::string& path) override {
    open_ = false;
    buffer_.clear();
    const auto& missing = owner_.missing_paths;
    if (!present_ || std::find(missing.begin(), missing.end(), path) != missing.end()) {
      error_ = kNoSuchFile;
      return false;
    }
    open_ = true;
    ++opens_;
    vanished_ = false;
    data_arrived_ = false;
    SetRate(kWakeBaud);
    return true;
  }
  void Close() override {
    open_ = false;
    buffer_.clear();
  }
  bool IsOpen() const override { return open_; }
  bool Vanished() const override { return vanished_; }
  std::optional<int32_t> ReadBaud() override {
    if (!Usable()) return std::nullopt;
    if (owner_.unreadable_baud) {
      error_ = kIoError;
      return std::nullopt;
    }
    return rate_;
  }
  bool WriteBaud(int32_t baud) override {
    if (!Usable()) return false;
    if (owner_.refuse_baud || baud <= 0) {
      error_ = kInvalid;
      return false;
    }
    auto quirk = owner_.adapter_rates.find(baud);
    SetRate(quirk != owner_.adapter_rates.end() ? quirk->second : baud);
    return true;
  }
  int BytesWaiting() override { return open_ ? static_cast<int>(buffer_.size()) : 0; }
  std::vector<uint8_t> ReadAll() override {
    if (!open_) return {};
    std::vector<uint8_t> bytes(buffer_.begin(), buffer_.end());
    buffer_.clear();
    reads_.push_back({clock_.NowMs(), bytes.size()});
    Bound(reads_, record_limit_);
    return bytes;
  }
  bool WriteByte(uint8_t byte) override {
    if (!Usable()) return false;
    ecu_->ProgramSends(byte, rate_);
    return true;
  }
  bool DataArrived() const override { return open_ && data_arrived_; }
  LatencyMode ReadLatencyMode() override { return open_ ? owner_.latency_mode : LatencyMode{}; }
  std::string LastError() const override { return error_; }

  void Vanish() {
    present_ = false;
    open_ = false;
    vanished_ = true;
    buffer_.clear();
  }
  void Restore() { present_ = true; }
  void KeepRecords(size_t limit) { record_limit_ = limit; }

  SimulatedEcu& ecu() { return *ecu_; }
  EcuModel* model() { return model_; }
  EcuScenario& scenario() { return model_ != nullptr ? model_->scenario() : no_scenario_; }
  const std::vector<WireByte>& wire() const { return wire_; }
  const std::vector<ProgramRead>& reads() const { return reads_; }
  const std::vector<RateChange>& rate_changes() const { return rate_changes_; }

 private:
  bool Usable() {
    if (open_) return true;
    error_ = vanished_ ? kIoError : kNotOpen;
    return false;
  }
  void SetRate(int32_t baud) {
    rate_ = baud;
    rate_changes_.push_back({clock_.NowMs(), baud});
    Bound(rate_changes_, record_limit_);
  }

  SimulatedLine& owner_;
  VirtualClock& clock_;
  const uint32_t base_ms_;  // clock reading at elapsed_total() == 0
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::unique_ptr<SimulatedEcu> ecu_;
  EcuModel* model_ = nullptr;  // ecu_ when it is the modelled ECU
  EcuScenario no_scenario_;
  uint64_t received_ = 0;  // bytes the adapter received, for its faults
  uint64_t opens_ = 0;     // a byte delayed across a reopen belongs to the old session

  bool present_ = true;
  bool open_ = false;
  bool vanished_ = false;
  bool data_arrived_ = false;
  int32_t rate_ = kWakeBaud;
  std::deque<uint8_t> buffer_;
  std::string error_;

  std::vector<WireByte> wire_;
  std::vector<uint64_t> wire_us_;  // exact start of each wire_ entry
  std::vector<ProgramRead> reads_;
  std::vector<RateChange> rate_changes_;
  size_t record_limit_ = kRecordLimit;
};

SimulatedLine::SimulatedLine(VirtualClock& clock, EcuScenario scenario)
    : impl_(std::make_unique<Impl>(*this, clock, std::move(scenario))) {}

SimulatedLine::SimulatedLine(VirtualClock& clock, const EcuFactory& ecu)
    : impl_(std::make_unique<Impl>(*this, clock, ecu)) {}

SimulatedLine::~SimulatedLine() = default;

SerialDevice& SimulatedLine::device() { return *impl_; }
void SimulatedLine::IgnitionOn() { impl_->ecu().IgnitionOn(); }
void SimulatedLine::IgnitionOff() { impl_->ecu().IgnitionOff(); }
void SimulatedLine::Vanish() { impl_->Vanish(); }
void SimulatedLine::Restore() { impl_->Restore(); }
void SimulatedLine::KeepRecords(size_t limit) { impl_->KeepRecords(limit); }
void SimulatedLine::InjectFromEcu(const std::vector<uint8_t>& bytes) {
  impl_->ecu().InjectFromEcu(bytes);
}
EcuScenario& SimulatedLine::scenario() { return impl_->scenario(); }
const std::vector<WireByte>& SimulatedLine::wire() const { return impl_->wire(); }
std::vector<uint8_t> SimulatedLine::SentByProgram() const {
  std::vector<uint8_t> sent;
  for (const WireByte& w : impl_->wire()) {
    if (w.from_program) sent.push_back(w.byte);
  }
  return sent;
}
const std::vector<ProgramRead>& SimulatedLine::reads() const { return impl_->reads(); }
const std::vector<RateChange>& SimulatedLine::rate_changes() const { return impl_->rate_changes(); }
bool SimulatedLine::ecu_awake() const {
  const EcuModel* m = impl_->model();
  return m != nullptr && m->awake();
}
bool SimulatedLine::in_diagnostic_mode() const {
  const EcuModel* m = impl_->model();
  return m != nullptr && m->in_diagnostic_mode();
}
bool SimulatedLine::in_co_regulation() const {
  const EcuModel* m = impl_->model();
  return m != nullptr && m->in_co_regulation();
}
uint8_t SimulatedLine::ecu_trimmer() const {
  const EcuModel* m = impl_->model();
  return m != nullptr ? m->trimmer() : 0;
}

}  // namespace velarin
