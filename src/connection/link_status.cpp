#include "connection/link_status.h"

#include "connection/connection_texts.h"

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

void ShowOpenOutcome(Form2& f, const LinkPort& port) {
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

void ShowRateWarning(Form2& f, const LinkPort& port) {
  if (!port.rate_warning.empty()) f.status_bar = port.rate_warning;
}

void ShowLinkLost(Form2& f, const std::string& path, const std::string& reason) {
  f.status_bar = std::string(texts::kStatusLinkLost) + WithPath(path, reason);
}

}  // namespace velarin
