#include "platform/serial_errors.h"

namespace velarin {

std::string OpenErrorText(OpenFailure kind, const std::string& path, std::string_view os_reason) {
  using namespace serial_texts;
  switch (kind) {
    case OpenFailure::kInUse:
      return path + ": " + std::string(kInUse);
    case OpenFailure::kNoSuchDevice:
      return path + ": " + std::string(kNoSuchDevice);
    case OpenFailure::kPermission:
      return path + ": " + std::string(kPermissionHint);
    case OpenFailure::kNotASerialPort:
      return path + ": " + std::string(kNotASerialPort);
    case OpenFailure::kOther:
      break;
  }
  return path + ": " + std::string(os_reason);
}

std::string WentAwayText(const std::string& path) {
  return path + std::string(serial_texts::kWentAway);
}

}  // namespace velarin
