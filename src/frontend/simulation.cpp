#include "frontend/simulation.h"

#include "forms/ecu_family.h"
#include "sim/ecu_model.h"
#include "sim/ecu_scenario.h"
#include "sim/pty_host.h"
#include "sim/realtime_line.h"
#include "ui/main_window.h"

namespace velarin::frontend {

class Simulation::Ecu {
 public:
  virtual ~Ecu() = default;
  // Points the port at the ECU (a path, or the device itself).
  virtual void Attach(LinkPort& port) = 0;
  virtual void IgnitionOn(uint32_t after_ms) = 0;
  virtual void IgnitionOff() = 0;
};

namespace {

// On a pseudo-terminal: the port keeps the platform's device and opens the slave.
class PtyEcu : public Simulation::Ecu {
 public:
  explicit PtyEcu(const EcuFactory& ecu) : host_(ecu) {}
  bool Start(std::string* error) {
    if (host_.Start()) return true;
    *error = host_.error();
    return false;
  }
  void Attach(LinkPort& port) override { port.device_path = host_.slave_path(); }
  void IgnitionOn(uint32_t after_ms) override { host_.IgnitionOn(after_ms); }
  void IgnitionOff() override { host_.IgnitionOff(); }

 private:
  PtyHost host_;
};

// In process: the port is handed the simulated line's own device.
class InProcessEcu : public Simulation::Ecu {
 public:
  InProcessEcu(Clock& clock, const EcuFactory& ecu) : line_(clock, ecu) {}
  void Attach(LinkPort& port) override {
    port.device = &line_.device();
    port.device_path = std::string(kInProcessPortName);
  }
  void IgnitionOn(uint32_t after_ms) override { line_.IgnitionOn(after_ms); }
  void IgnitionOff() override { line_.IgnitionOff(); }

 private:
  RealtimeLine line_;
};

// The one place the platform decides where the simulated ECU lives.
std::unique_ptr<Simulation::Ecu> StartEcu(Clock& clock, const EcuFactory& factory,
                                          std::string* error) {
#ifdef _WIN32
  (void)error;
  return std::make_unique<InProcessEcu>(clock, factory);
#else
  (void)clock;
  auto ecu = std::make_unique<PtyEcu>(factory);
  if (!ecu->Start(error)) return nullptr;
  return ecu;
#endif
}

EcuFactory ModelOf(EcuFamily family) {
  return [scenario = DefaultScenario(family)](EcuScheduler& scheduler, WireListener& listener) {
    return std::make_unique<EcuModel>(scenario, scheduler, listener);
  };
}

}  // namespace

Simulation::Simulation(Clock& clock) : clock_(clock) {}
Simulation::~Simulation() = default;

bool Simulation::Attach(App& app, const EcuFactory& factory, std::string* error) {
  std::unique_ptr<Ecu> ecu = StartEcu(clock_, factory, error);
  if (!ecu) return false;
  ecu->Attach(app.protocol.MSComm1);
  ecu_ = std::move(ecu);
  if (attached_) attached_(app.protocol.MSComm1);
  return true;
}

bool Simulation::Start(App& app, EcuFamily family, std::string* error) {
  if (!Attach(app, ModelOf(family), error)) return false;
  family_ = family;
  replay_.reset();
  return true;
}

bool Simulation::StartReplay(App& app, std::shared_ptr<Replay> replay, std::string* error) {
  if (!Attach(app, replay->Factory(), error)) return false;
  replay_ = std::move(replay);
  return true;
}

std::vector<std::string> Simulation::TakeReplayNotes() {
  return replay_ ? replay_->TakeNotes() : std::vector<std::string>{};
}

void Simulation::BeforeSwitch(App& app) {
  if (!ecu_ || replay_ || app.form2.Check2.value) return;  // a release, not a Connect
  const auto selected = SelectedFamily(app.form2);
  if (!selected || *selected == family_) return;
  std::string ignored;
  // On failure the old ECU stays: the connection then simply finds the wrong family.
  (void)Start(app, *selected, &ignored);
}

void Simulation::AfterSwitch(App& app) {
  if (!ecu_) return;
  if (app.form2.Check2.value && app.protocol.MSComm1.PortOpen()) {
    // 15Rc is answered on the first tick and P8 read at once: their ECU must be on already.
    // A replay's wake-up comes at its captured time after the open.
    const bool sends_burst = FactsOf(family_).link_start == LinkStart::kAwaitBurst;
    ecu_->IgnitionOn(sends_burst && !replay_ ? kIgnitionAfterConnectMs : 0);
  } else if (!app.form2.Check2.value) {
    ecu_->IgnitionOff();
  }
}

void PressConnectSwitch(App& app, Simulation* simulation) {
  if (simulation != nullptr) simulation->BeforeSwitch(app);
  ClickConnectSwitch(app);
  if (simulation != nullptr) simulation->AfterSwitch(app);
}

}  // namespace velarin::frontend
