#pragma once
// What sits beyond the program's port in a simulation: the adapter and an ECU,
// independent of any transport. The host (SimulatedLine on the virtual clock,
// PtyHost on a pseudo-terminal) gives it a timeline and a listener; it is told
// when the program writes a byte and at which rate, and tells the listener when
// bytes start on the wire and when they have arrived. Time is in microseconds
// on the scheduler's timeline; no threads of its own.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

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

class SimulatedEcu {
 public:
  virtual ~SimulatedEcu() = default;
  // The ECU powers up: its wake-up (or readiness) follows in its own time.
  virtual void IgnitionOn() = 0;
  // Falls silent at once and forgets the handshake and its modes.
  virtual void IgnitionOff() = 0;
  // The program wrote `byte` now with its port at `program_baud`; the adapter
  // echoes it (if it does) and the ECU hears it at its own rate only.
  virtual void ProgramSends(uint8_t byte, int32_t program_baud) = 0;
  // Bytes from the ECU's side starting now at its current rate (stale bytes, garbage).
  virtual void InjectFromEcu(const std::vector<uint8_t>& bytes) = 0;
};

// Builds the ECU a host runs, on the host's timeline and listener.
using EcuFactory = std::function<std::unique_ptr<SimulatedEcu>(EcuScheduler&, WireListener&)>;

}  // namespace velarin
