#include "connection/link_status.h"

#include "connection/connect_switch.h"
#include "connection/connection_texts.h"
#include "forms/captions.h"
#include "platform/serial_errors.h"

namespace velarin {
namespace {

// "<path>: <reason>", or the reason alone when it already names the device.
std::string WithPath(const std::string& path, const std::string& reason) {
  if (reason.empty()) return path;
  if (path.empty() || reason.find(path) != std::string::npos) return reason;
  return path + ": " + reason;
}

}  // namespace

std::string PortPathInUse(const LinkPort& port) {
  if (!port.device_path.empty()) return port.device_path;
  if (port.CommPort < 1) return {};
  return DevicePathForPort(port.CommPort);
}

void ShowOpenOutcome(Form2& f) {
  const LinkPort& port = f.MSComm1;
  const std::string path = PortPathInUse(port);
  if (port.PortOpen()) {
    f.status_bar = std::string(texts::kStatusPortOpen) + path;
  } else if (path.empty()) {
    f.status_bar = std::string(texts::kStatusNoPortNumbered) + std::to_string(port.CommPort);
  } else {
    const std::string reason = port.device != nullptr ? port.device->LastError() : std::string();
    f.status_bar = std::string(texts::kStatusCannotOpen) + WithPath(path, reason);
  }
}

void ShowRateWarning(Form2& f) {
  if (!f.MSComm1.rate_warning.empty()) f.status_bar = f.MSComm1.rate_warning;
}

bool ShowsConnection(const Form2& f) { return f.Check2.caption == captions::kDisconnect; }

bool EndIfLinkLost(App& app) {
  Form2& f = app.form2;
  LinkPort& port = f.MSComm1;
  if (port.device == nullptr || !port.device->Vanished() || !ShowsConnection(f)) return false;
  const std::string reason = port.device->LastError();
  const std::string path = PortPathInUse(port);
  f.Check2.value = false;  // the switch pops out, as if the user had released it
  Disconnect(app);
  ++f.link_losses;
  f.link_lost_reason = reason.empty() ? WentAwayText(path) : reason;
  f.status_bar = std::string(texts::kStatusLinkLost) + WithPath(path, f.link_lost_reason);
  return true;
}

}  // namespace velarin
