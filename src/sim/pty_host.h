#pragma once
// The simulated ECU on a pseudo-terminal: the program opens the slave with the
// real serial back end; the simulator sits on the master, reads the rate the
// program set (TCGETS2 on the master) and paces its bytes in real time.

#include <cstdint>
#include <memory>
#include <string>

#include "sim/ecu_scenario.h"
#include "sim/simulated_ecu.h"

namespace velarin {

class PtyHost {
 public:
  explicit PtyHost(EcuScenario scenario);
  // Another ECU than the modelled one (a replay), built on the host's thread's timeline.
  explicit PtyHost(const EcuFactory& ecu);
  ~PtyHost();  // stops the thread and closes the pty

  // Opens the pty and starts the simulator thread; false (with error()) on failure.
  bool Start();
  void Stop();
  std::string slave_path() const;
  // Keeps a symlink at `path` pointing at the slave (removed by Stop).
  bool LinkAt(const std::string& path);
  std::string error() const;

  // Thread-safe controls.
  void IgnitionOn(uint32_t after_ms = 0);
  void IgnitionOff();
  // The adapter is pulled: the master closes, the program's slave is hung up.
  void Hangup();
  int32_t program_baud() const;  // the rate the program set, as seen on the master

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velarin
