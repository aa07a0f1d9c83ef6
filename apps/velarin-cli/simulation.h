#pragma once
// --simulate: a simulated ECU on a pseudo-terminal inside the program. The main
// window's port is pointed at the pty; the ignition goes on a second after each
// Connect (as a rider would turn the key) for the families that send a wake-up
// burst, at the Connect itself for 15Rc and P8, and off at Disconnect.

#include <cstdint>
#include <memory>
#include <string>

#include "forms/app.h"
#include "forms/ecu_family.h"

namespace velarin {
class PtyHost;
}

namespace velarin::cli {

inline constexpr uint32_t kIgnitionAfterConnectMs = 1000;

class Simulation {
 public:
  Simulation();
  ~Simulation();

  // Starts an ECU of `family` and points app's port at it; false with *error set.
  bool Start(App& app, EcuFamily family, std::string* error);

  // Around a click of the connection switch, on the loop's thread. Before a
  // Connect the ECU is swapped for one of the family now selected, if it differs.
  void BeforeSwitch(App& app);
  void AfterSwitch(App& app);

  std::string slave_path() const;
  // The adapter is pulled (tests).
  void Hangup();

 private:
  std::unique_ptr<PtyHost> host_;
  EcuFamily family_ = EcuFamily::Ecu15m;
};

}  // namespace velarin::cli
