#pragma once
// The K-line beyond the program's port, independent of any transport: the
// adapter that echoes each byte and the ECU that wakes, answers and changes
// mode. It is told when the program writes a byte and at which rate, and tells
// its listener when bytes start on the wire and when they have arrived. Time
// is in microseconds on the scheduler's timeline; no threads of its own.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "sim/ecu_scenario.h"

namespace velarin {

class EcuScheduler {
 public:
  virtual ~EcuScheduler() = default;
  virtual uint64_t NowUs() = 0;
  // Runs `fn` once the timeline reaches `when_us` (at the next turn if it already has).
  virtual void AtUs(uint64_t when_us, std::function<void()> fn) = 0;
};

// The program's side of the wire.
class WireListener {
 public:
  virtual ~WireListener() = default;
  // A byte was on the wire from `start_us` to `end_us`, sent at `baud` (echoes
  // are not reported).
  virtual void OnWire(uint64_t start_us, uint64_t end_us, bool from_program, uint8_t byte,
                      int32_t baud) = 0;
  // A byte has fully arrived at the program's receiver; it was sent at `baud`,
  // and a receiver at another rate must drop it.
  virtual void OnArrival(uint8_t byte, int32_t baud) = 0;
};

class EcuModel {
 public:
  EcuModel(EcuScenario scenario, EcuScheduler& scheduler, WireListener& listener);

  // The burst (15m, 16m) or readiness (15Rc, P8) follows after the ignition delay.
  void IgnitionOn();
  // Falls silent at once, drops what it was sending, forgets the handshake and modes.
  void IgnitionOff();
  // The program wrote `byte` now with its port at `program_baud`.
  void ProgramSends(uint8_t byte, int32_t program_baud);
  // Bytes from the ECU's side starting now at its current rate (stale bytes, garbage).
  void InjectFromEcu(const std::vector<uint8_t>& bytes);

  EcuScenario& scenario() { return scenario_; }
  bool ignition_on() const { return phase_ != Phase::kOff; }
  bool awake() const { return phase_ == Phase::kAwake; }
  bool in_diagnostic_mode() const { return mode_ != Mode::kNormal; }
  bool in_co_regulation() const { return mode_ == Mode::kCoRegulation; }
  // The rate the ECU listens and talks at: 1200 until the handshake, then 7812.
  int32_t ecu_baud() const;
  uint8_t trimmer() const { return trimmer_; }

 private:
  enum class Phase { kOff, kBooting, kHandshake, kAwake };
  enum class Mode { kNormal, kDiagnostic, kCoRegulation };

  // Runs `fn` at `when_us` unless the ignition changed meanwhile.
  void Later(uint64_t when_us, std::function<void()> fn);
  // Queues bytes on the ECU's transmitter, starting no earlier than `earliest_us`;
  // returns the moment the last one has arrived.
  uint64_t Transmit(const std::vector<uint8_t>& bytes, uint64_t earliest_us, int32_t baud);
  void Hear(uint8_t byte, int32_t program_baud, uint64_t end_us);
  void Answer(uint8_t code, uint64_t end_us);
  std::vector<uint8_t> NormalAnswer(uint8_t code, uint64_t at_us);
  std::vector<uint8_t> LiveAnswer(uint8_t code, uint64_t at_us);
  uint8_t TrimmerByte() const;
  uint8_t trimmer_code() const;

  EcuScenario scenario_;
  EcuScheduler& scheduler_;
  WireListener& listener_;

  Phase phase_ = Phase::kOff;
  Mode mode_ = Mode::kNormal;
  uint64_t generation_ = 0;  // bumped by every ignition change; stale events check it
  uint64_t ignition_at_us_ = 0;
  size_t handshake_matched_ = 0;
  uint8_t trimmer_;
  uint64_t program_tx_free_us_ = 0;
  uint64_t ecu_tx_free_us_ = 0;
  // Low bytes of the rpm and injection periods, latched when the high byte was asked.
  std::map<uint8_t, uint8_t> latched_;
};

}  // namespace velarin
