#include "velarin-cli/simulation.h"

#include "sim/ecu_scenario.h"
#include "sim/pty_host.h"

namespace velarin::cli {

Simulation::Simulation() = default;
Simulation::~Simulation() = default;

bool Simulation::Start(App& app, EcuFamily family, std::string* error) {
  auto host = std::make_unique<PtyHost>(DefaultScenario(family));
  if (!host->Start()) {
    *error = host->error();
    return false;
  }
  host_ = std::move(host);
  family_ = family;
  app.form2.MSComm1.device_path = host_->slave_path();
  return true;
}

void Simulation::BeforeSwitch(App& app) {
  if (!host_ || app.form2.Check2.value) return;  // a release, not a Connect
  const auto selected = SelectedFamily(app.form2);
  if (!selected || *selected == family_) return;
  std::string ignored;
  // On failure the old ECU stays: the connection then simply finds the wrong family.
  (void)Start(app, *selected, &ignored);
}

void Simulation::AfterSwitch(App& app) {
  if (!host_) return;
  if (app.form2.Check2.value && app.form2.MSComm1.PortOpen()) {
    // 15Rc is answered on the first tick and P8 read at once: their ECU must be on already.
    const bool sends_burst = family_ == EcuFamily::Ecu15m || family_ == EcuFamily::Ecu16m;
    host_->IgnitionOn(sends_burst ? kIgnitionAfterConnectMs : 0);
  } else if (!app.form2.Check2.value) {
    host_->IgnitionOff();
  }
}

std::string Simulation::slave_path() const { return host_ ? host_->slave_path() : std::string(); }

void Simulation::Hangup() {
  if (host_) host_->Hangup();
}

}  // namespace velarin::cli
