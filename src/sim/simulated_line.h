#pragma once
// The simulated K-line on the virtual clock: a SerialDevice the program opens,
// the adapter that echoes every byte, and the ECU behind it. Bytes are paced at
// the wire rate of the current baud (10 bits a byte) plus the answer latency,
// and the ECU only hears and answers at the rate it expects. No threads.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_ecu.h"
#include "sim/virtual_clock.h"

namespace velarin {

struct WireByte {
  uint32_t at_ms;     // clock reading when the byte started on the wire
  uint32_t done_ms;   // first whole ms at which it had fully arrived
  bool from_program;  // false: from the ECU (echoes are not listed)
  uint8_t byte;
  int32_t baud;       // the program's port rate at that moment
  int32_t sent_baud;  // the rate the byte was sent at
};

// One ReadAll by the program: when, and how many bytes it took.
struct ProgramRead {
  uint32_t at_ms;
  size_t count;
};

// One rate the program's port took (Open: 1200, WriteBaud: the rate asked).
struct RateChange {
  uint32_t at_ms;
  int32_t baud;
};

class SimulatedLine {
 public:
  // The modelled ECU of `scenario`.
  SimulatedLine(VirtualClock& clock, EcuScenario scenario);
  // Another ECU (a replay): scenario() then holds a default scenario that
  // nothing reads, and the ECU state queries answer false.
  SimulatedLine(VirtualClock& clock, const EcuFactory& ecu);
  ~SimulatedLine();

  // The device the program opens. Any path opens it except those in missing_paths.
  SerialDevice& device();
  std::vector<std::string> missing_paths = {"/dev/does-not-exist"};
  // Adapter quirks: the rate it really runs at for a rate asked (a bridge that
  // runs 9600 for 7812), a driver that refuses every rate, a state that cannot be read.
  std::map<int32_t, int32_t> adapter_rates;
  bool refuse_baud = false;
  bool unreadable_baud = false;
  // A USB bridge's latency timer: every received byte reaches the program this
  // much later. Every n-th received byte lost, or altered (one bit flipped); 0: none.
  uint32_t adapter_latency_ms = 0;
  uint32_t lose_every = 0;
  uint32_t alter_every = 0;
  // What the device reports of its driver's low-latency mode.
  LatencyMode latency_mode;

  void IgnitionOn();   // burst after scenario.ignition_delay_ms (15m, 16m)
  void IgnitionOff();  // the ECU falls silent and forgets the handshake
  void Vanish();       // the adapter is pulled: the device reports closed and vanished
  void Restore();      // the adapter is back: it can be opened again
  // Puts bytes on the line as if the ECU sent them now, at its current rate
  // (a stale byte, garbage); they arrive paced like any ECU byte.
  void InjectFromEcu(const std::vector<uint8_t>& bytes);

  // How many of the newest entries wire(), reads() and rate_changes() keep (a million
  // unless told); long runs that never look at them keep few.
  void KeepRecords(size_t limit);

  EcuScenario& scenario();
  // Every byte the program sent and the ECU sent, in time order.
  const std::vector<WireByte>& wire() const;
  std::vector<uint8_t> SentByProgram() const;
  const std::vector<ProgramRead>& reads() const;
  const std::vector<RateChange>& rate_changes() const;
  bool ecu_awake() const;  // the handshake completed: the ECU works at 7812
  bool in_diagnostic_mode() const;
  bool in_co_regulation() const;
  uint8_t ecu_trimmer() const;  // the trimmer register, as CO regulation left it

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velarin
