#pragma once
// --simulate: a simulated ECU inside the program, with the main window's port
// pointed at it. On Linux and other POSIX systems the ECU sits on a
// pseudo-terminal, so the program's real serial back end carries the traffic;
// Windows has no pseudo-terminals, and there the ECU runs in process behind the
// port interface, on the same clock. The ignition goes on a second after each
// Connect (as a rider would turn the key) for the families that send a wake-up
// burst, at the Connect itself for 15Rc and P8, and off at Disconnect.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/app.h"
#include "forms/ecu_family.h"
#include "platform/clock.h"
#include "sim/replay_ecu.h"

namespace velarin::frontend {

inline constexpr uint32_t kIgnitionAfterConnectMs = 1000;
// The port's name in the status bar when the ECU runs in process.
inline constexpr std::string_view kInProcessPortName = "simulated ECU";

class Simulation {
 public:
  // `clock` is the one the event loop runs on; it must outlive the simulation.
  explicit Simulation(Clock& clock);
  ~Simulation();

  // Starts an ECU of `family` and points app's port at it; false with *error set.
  bool Start(App& app, EcuFamily family, std::string* error);
  // The ECU plays `replay` back instead, whatever family is selected later;
  // each ignition-on plays the capture's next session from its wake-up on.
  bool StartReplay(App& app, std::shared_ptr<Replay> replay, std::string* error);
  // What the replay answered from a guess or not at all since the last call.
  std::vector<std::string> TakeReplayNotes();
  // Called whenever the port was pointed at a new ECU (a capture goes in front).
  void OnAttach(std::function<void(LinkPort&)> attached) { attached_ = std::move(attached); }

  // Around a click of the connection switch, on the loop's thread. Before a
  // Connect the ECU is swapped for one of the family now selected, if it differs.
  void BeforeSwitch(App& app);
  void AfterSwitch(App& app);

  // The simulated ECU with the way it reaches the port.
  class Ecu;

 private:
  bool Attach(App& app, const EcuFactory& factory, std::string* error);

  Clock& clock_;
  std::unique_ptr<Ecu> ecu_;
  EcuFamily family_ = kOpeningFamily;
  std::shared_ptr<Replay> replay_;
  std::function<void(LinkPort&)> attached_;
};

// The "Connect"/"Disconnect" switch as the user presses it, with the simulated
// ignition around it when `simulation` is not null.
void PressConnectSwitch(App& app, Simulation* simulation);

}  // namespace velarin::frontend
