#pragma once
// The simulated K-line in real time inside the program, for platforms without
// pseudo-terminals (Windows): a SerialDevice whose adapter and ECU follow the
// real clock without a thread of their own. Whatever the ECU would have sent by
// now is in the receive queue when the program next looks at the port, as a
// driver would hold it. Not thread-safe: the thread that drives the port drives
// the ECU, and the ignition controls belong to that thread as well.

#include <cstdint>
#include <memory>

#include "platform/clock.h"
#include "platform/serial_device.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_ecu.h"

namespace velarin {

class RealtimeLine {
 public:
  // `clock` must outlive the line.
  RealtimeLine(Clock& clock, EcuScenario scenario);
  // Another ECU than the modelled one (a replay).
  RealtimeLine(Clock& clock, const EcuFactory& ecu);
  ~RealtimeLine();

  // The port the program opens; any path opens it until Hangup.
  SerialDevice& device();

  void IgnitionOn(uint32_t after_ms = 0);
  void IgnitionOff();  // also cancels an ignition still to come
  // The adapter is pulled: the port reports closed and vanished, and stays gone.
  void Hangup();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velarin
