#include "platform/serial_errors.h"

#include <gtest/gtest.h>

#include <string>

namespace velarin {
namespace {

TEST(OpenErrorText, NamesThePortAndTheRemedy) {
  struct Case {
    OpenFailure kind;
    std::string text;
  } cases[] = {
      {OpenFailure::kPermission, "/dev/ttyUSB0: Permission denied — is the user in group dialout?"},
      {OpenFailure::kInUse, "/dev/ttyUSB0: in use by another program"},
      {OpenFailure::kNoSuchDevice, "/dev/ttyUSB0: no such device"},
      {OpenFailure::kNotASerialPort, "/dev/ttyUSB0: not a serial port"},
      {OpenFailure::kOther, "/dev/ttyUSB0: Input/output error"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OpenErrorText(c.kind, "/dev/ttyUSB0", "Input/output error"), c.text);
  }
}

}  // namespace
}  // namespace velarin
