#include <memory>

#include "platform/serial_device.h"
#ifdef _WIN32
#include "platform/win32_serial_device.h"
#else
#include "platform/posix_serial_device.h"
#endif

namespace velarin {

std::unique_ptr<SerialDevice> MakePlatformSerialDevice() {
#ifdef _WIN32
  return std::make_unique<Win32SerialDevice>();
#else
  return std::make_unique<PosixSerialDevice>();
#endif
}

}  // namespace velarin
