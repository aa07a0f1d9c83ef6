#pragma once
// The simulated K-line on the virtual clock: a SerialDevice the program opens,
// the adapter that echoes every byte, and the ECU behind it. Bytes are paced at
// the wire rate of the current baud (10 bits a byte) plus the answer latency,
// and the ECU only hears and answers at the rate it expects. No threads.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "sim/ecu_scenario.h"
#include "sim/virtual_clock.h"

namespace velarin {

struct WireByte {
  uint32_t at_ms;      // clock reading when the byte started on the wire
  bool from_program;   // false: from the ECU (echoes are not listed)
  uint8_t byte;
  int32_t baud;        // the program's port rate at that moment
};

class SimulatedLine {
 public:
  SimulatedLine(VirtualClock& clock, EcuScenario scenario);
  ~SimulatedLine();

  // The device the program opens. Any path opens it except those in missing_paths.
  SerialDevice& device();
  std::vector<std::string> missing_paths = {"/dev/does-not-exist"};

  void IgnitionOn();   // burst after scenario.ignition_delay_ms (15m, 16m)
  void IgnitionOff();  // the ECU falls silent and forgets the handshake
  void Vanish();       // the adapter is pulled: the device reports closed and vanished
  void Restore();      // the adapter is back: it can be opened again
  // Puts bytes on the line as if the ECU sent them now (a stale byte, garbage).
  void InjectFromEcu(const std::vector<uint8_t>& bytes);

  EcuScenario& scenario();
  // Every byte the program sent and the ECU sent, in time order.
  const std::vector<WireByte>& wire() const;
  std::vector<uint8_t> SentByProgram() const;
  bool ecu_awake() const;      // the handshake completed: the ECU works at 7812
  bool in_diagnostic_mode() const;
  bool in_co_regulation() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velarin
