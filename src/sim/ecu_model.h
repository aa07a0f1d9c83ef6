#pragma once
// The modelled K-line beyond the program's port: the adapter that echoes each
// byte and an ECU that wakes, answers and changes mode as its scenario says.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "sim/ecu_scenario.h"
#include "sim/simulated_ecu.h"

namespace velarin {

class EcuModel : public SimulatedEcu {
 public:
  EcuModel(EcuScenario scenario, EcuScheduler& scheduler, WireListener& listener);

  // The burst (15m, 16m) or readiness (15Rc, P8) follows after the ignition delay.
  void IgnitionOn() override;
  // Falls silent at once, drops what it was sending, forgets the handshake and modes.
  void IgnitionOff() override;
  void ProgramSends(uint8_t byte, int32_t program_baud) override;
  void InjectFromEcu(const std::vector<uint8_t>& bytes) override;

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
