#pragma once
// An App wired to a simulated K-line on the virtual clock: the family option
// of the scenario selected, the main window's port on the simulated device.

#include <utility>

#include "forms/app.h"
#include "forms/ecu_family.h"
#include "link/link_port.h"
#include "sim/simulated_line.h"
#include "support/test_services.h"

namespace velarin::testing {

struct SimRig {
  explicit SimRig(EcuScenario scenario, uint32_t start_ms = 0)
      : services(start_ms), line(services.virtual_clock(), std::move(scenario)) {
    app.services = &services;
    app.protocol.MSComm1.device = &line.device();
    SelectFamily(line.scenario().family);
  }

  void SelectFamily(EcuFamily family) { SelectFamilyOption(app.form2, family); }
  // Opens the main window's port as Connect does (port 1, 1200 baud).
  bool OpenPort() {
    OpenLinkPort(app.protocol.MSComm1, 1);
    return app.protocol.MSComm1.PortOpen();
  }

  VirtualClock& clock() { return services.virtual_clock(); }
  Form2& form2() { return app.form2; }
  ProtocolState& protocol() { return app.protocol; }

  // Declared in this order so the line dies before its clock and the app first.
  TestServices services;
  SimulatedLine line;
  App app;
};

}  // namespace velarin::testing
