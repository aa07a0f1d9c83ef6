#include <string>

#include "platform/serial_device.h"

namespace velarin {

std::string DevicePathForPort(int port_number) {
#ifdef _WIN32
  // The \\.\ prefix is needed from COM10 on and harmless below it.
  return "\\\\.\\COM" + std::to_string(port_number);
#else
  return "/dev/ttyUSB" + std::to_string(port_number - 1);
#endif
}

}  // namespace velarin
