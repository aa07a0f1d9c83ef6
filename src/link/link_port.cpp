#include "link/link_port.h"

#include <cmath>
#include <string>

#include "link/numbers.h"
#include "protocol/wire_timing.h"

namespace velarin {
namespace {

void Absorb(LinkPort& port, int number, const char* message) {
  // Keep the trace bounded: a link that keeps failing must not grow memory forever.
  constexpr size_t kMaxTrace = 256;
  if (port.debug_trace.size() >= kMaxTrace) port.debug_trace.erase(port.debug_trace.begin());
  port.debug_trace.push_back({number, message});
}

}  // namespace

int16_t PortNumberFromText(std::string_view text) {
  int16_t number = 0;
  if (!ToInt16(NumberFromText(text), &number)) return 0;
  return number;
}

void OpenLinkPort(LinkPort& port, int16_t port_number) {
  if (port.device == nullptr) return;
  if (port.PortOpen()) {
    Absorb(port, kErrPortAlreadyOpen, "Port already open");
    return;
  }
  port.CommPort = port_number;
  port.DTREnable = true;
  port.RTSEnable = true;
  port.RThreshold = 1;
  port.SThreshold = 0;
  port.Settings = kWakeSettings;
  port.rate_warning.clear();
  std::string path = port.device_path;
  if (path.empty()) {
    if (port_number < 1) {
      Absorb(port, kErrBadPortNumber, "Invalid port number");
      return;
    }
    path = DevicePathForPort(port_number);
  }
  if (!port.device->Open(path)) {
    Absorb(port, kErrBadPortNumber, "Invalid port number");
    return;
  }
  port.baud = kWakeBaud;
}

void CloseLinkPort(LinkPort& port) {
  if (!port.PortOpen()) return;
  (void)port.device->ReadAll();
  port.device->Close();
}

void SetBaudRate(LinkPort& port, int32_t baud) {
  if (!port.PortOpen()) {
    Absorb(port, kErrPortNotOpen, "Operation valid only when the port is open");
    return;
  }
  if (!port.device->ReadBaud().has_value()) {
    Absorb(port, kErrReadState, "Could not read current state of the port");
    return;
  }
  if (!port.device->WriteBaud(baud)) {
    Absorb(port, kErrSetBaud, "Could not set port to specified baud rate");
    return;
  }
  port.baud = baud;
  // Some adapters accept any rate and run at another (9600 on the oldest bridges).
  std::optional<int32_t> actual = port.device->ReadBaud();
  if (baud == kKLineBaud && actual.has_value() && FarFromKLine(*actual)) {
    port.rate_warning = "The adapter runs at " + std::to_string(*actual) +
                        " baud instead of 7812: the ECU cannot be reached with it";
  }
}

}  // namespace velarin
