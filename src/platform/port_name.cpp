#include <string>

#include "platform/serial_device.h"

namespace velarin {

std::string DevicePathForPort(int port_number) {
#ifdef _WIN32
  // The name the user knows; the back end opens it through the device namespace.
  return "COM" + std::to_string(port_number);
#else
  return "/dev/ttyUSB" + std::to_string(port_number - 1);
#endif
}

}  // namespace velarin
