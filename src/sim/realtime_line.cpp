#include "sim/realtime_line.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/fine_sleep.h"
#include "platform/serial_errors.h"
#include "protocol/line_rates.h"
#include "protocol/wire_timing.h"
#include "sim/ecu_model.h"

namespace velarin {
namespace {
constexpr size_t kReceiveQueueBytes = 1024;  // what a port's driver holds
}  // namespace

class RealtimeLine::Impl : public EcuScheduler, public WireListener, public SerialDevice {
 public:
  Impl(Clock& clock, const EcuFactory& ecu)
      : clock_(clock), last_ms_(clock.NowMs()), ecu_(ecu(*this, *this)) {}

  // The timeline: microseconds since construction, from the clock's readings.
  uint64_t NowUs() override {
    const uint32_t now = clock_.NowMs();
    const int32_t step = Elapsed(last_ms_, now);
    if (step > 0) {
      total_us_ += uint64_t{static_cast<uint32_t>(step)} * 1000;
      last_ms_ = now;
    }
    return total_us_;
  }
  void AtUs(uint64_t when_us, std::function<void()> fn) override {
    events_.emplace(std::make_pair(when_us, sequence_++), std::move(fn));
  }

  void OnWire(uint64_t, uint64_t, bool, uint8_t, int32_t) override {}
  void OnArrival(uint8_t byte, int32_t baud) override {
    if (!open_) return;                               // nobody listening: lost
    if (!SameLineRate(baud, rate_)) return;           // framing errors at the wrong rate
    if (queue_.size() >= kReceiveQueueBytes) return;  // overrun
    queue_.push_back(byte);
    data_arrived_ = true;
  }

  // SerialDevice: every call first lets the line catch up with the clock.
  bool Open(const std::string& path) override {
    Close();
    path_ = path;
    if (gone_) {
      error_ = OpenErrorText(OpenFailure::kNoSuchDevice, path, {});
      return false;
    }
    CatchUp();
    open_ = true;
    vanished_ = false;
    data_arrived_ = false;
    rate_ = kWakeBaud;
    error_.clear();
    fine_sleep_ = std::make_unique<FineSleep>();
    return true;
  }
  void Close() override {
    open_ = false;
    queue_.clear();
    fine_sleep_.reset();
  }
  bool IsOpen() const override { return open_; }
  bool Vanished() const override { return vanished_; }
  std::optional<int32_t> ReadBaud() override {
    if (!Usable()) return std::nullopt;
    return rate_;
  }
  bool WriteBaud(int32_t baud) override {
    if (!Usable()) return false;
    if (baud <= 0) {
      error_ = std::string(serial_texts::kInvalidBaud) + std::to_string(baud);
      return false;
    }
    CatchUp();  // bytes that arrived before the switch were heard at the old rate
    rate_ = baud;
    return true;
  }
  int BytesWaiting() override {
    CatchUp();
    return open_ ? static_cast<int>(queue_.size()) : 0;
  }
  std::vector<uint8_t> ReadAll() override {
    CatchUp();
    std::vector<uint8_t> bytes(queue_.begin(), queue_.end());
    queue_.clear();
    return bytes;
  }
  bool WriteByte(uint8_t byte) override {
    if (!Usable()) return false;
    CatchUp();
    ecu_->ProgramSends(byte, rate_);
    return true;
  }
  bool DataArrived() const override {
    // Looking at the port lets time pass on the line, as it does in a driver.
    const_cast<Impl*>(this)->CatchUp();
    return open_ && data_arrived_;
  }
  std::string LastError() const override { return error_; }

  void IgnitionOn(uint32_t after_ms) {
    CatchUp();
    AtUs(NowUs() + uint64_t{after_ms} * 1000, [this, key = ignition_key_] {
      if (key == ignition_key_) ecu_->IgnitionOn();
    });
  }
  void IgnitionOff() {
    CatchUp();
    ++ignition_key_;
    ecu_->IgnitionOff();
  }
  void Hangup() {
    Close();
    gone_ = true;
    vanished_ = true;
    error_ = WentAwayText(path_);
  }

 private:
  bool Usable() {
    if (open_) return true;
    error_ = vanished_ ? WentAwayText(path_) : std::string(serial_texts::kNotOpen);
    return false;
  }

  // Runs, in time order, every event of the adapter and the ECU due by now.
  void CatchUp() {
    const uint64_t now = NowUs();
    while (!events_.empty() && events_.begin()->first.first <= now) {
      auto node = events_.extract(events_.begin());
      node.mapped()();
    }
  }

  Clock& clock_;
  uint32_t last_ms_;
  uint64_t total_us_ = 0;
  uint64_t sequence_ = 0;
  // Keyed by (due time, insertion order) so events due together keep their order.
  std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> events_;
  std::unique_ptr<SimulatedEcu> ecu_;
  uint64_t ignition_key_ = 0;  // bumped by IgnitionOff: a pending IgnitionOn is void

  std::string path_;
  bool open_ = false;
  bool gone_ = false;
  bool vanished_ = false;
  bool data_arrived_ = false;
  int32_t rate_ = kWakeBaud;
  std::deque<uint8_t> queue_;
  std::string error_;
  std::unique_ptr<FineSleep> fine_sleep_;
};

RealtimeLine::RealtimeLine(Clock& clock, EcuScenario scenario)
    : RealtimeLine(clock,
                   EcuFactory([scenario = std::move(scenario)](EcuScheduler& s, WireListener& l) {
                     return std::make_unique<EcuModel>(scenario, s, l);
                   })) {}
RealtimeLine::RealtimeLine(Clock& clock, const EcuFactory& ecu)
    : impl_(std::make_unique<Impl>(clock, ecu)) {}
RealtimeLine::~RealtimeLine() = default;

SerialDevice& RealtimeLine::device() { return *impl_; }
void RealtimeLine::IgnitionOn(uint32_t after_ms) { impl_->IgnitionOn(after_ms); }
void RealtimeLine::IgnitionOff() { impl_->IgnitionOff(); }
void RealtimeLine::Hangup() { impl_->Hangup(); }

}  // namespace velarin
