#pragma once
// What the system tells about one serial port, enough for the user to pick the
// adapter they plugged in: its path, the USB identity, the driver, and whether the
// chip is known to fail at 7812 baud (the ECU's rate).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velarin::ports {

struct UsbId {
  uint16_t vid = 0;
  uint16_t pid = 0;
  friend bool operator==(const UsbId&, const UsbId&) = default;
};

enum class Rate7812 {
  kNoKnownProblem,  // nothing known against it (FTDI, CH340, PL2303, on-board UART, ...)
  kUnable,          // the chip runs another rate when asked for 7812
  kMaybeUnable,     // a family with members of both kinds, the member not known
};

struct PortInfo {
  std::string system_path;  // "/dev/ttyUSB0"; "COM3" on Windows
  std::string by_id_path;   // "/dev/serial/by-id/usb-FTDI_..." (Linux with udev), else empty
  std::optional<UsbId> usb;
  std::string manufacturer;   // the device's own string, else the USB database's name
  std::string product;        // likewise
  std::string serial_number;  // empty when the device has none
  std::string driver;         // "ftdi_sio", "cp210x", "serial"; "FTDIBUS", "silabser" on Windows
  std::string friendly_name;  // Windows: "USB Serial Port (COM3)"; empty on Linux
  std::string instance_id;    // Windows: the device instance id, stable per adapter
  Rate7812 rate_7812 = Rate7812::kNoKnownProblem;
  std::string rate_note;  // why rate_7812 says what it says; empty with kNoKnownProblem
};

struct PortList {
  std::vector<PortInfo> ports;
  std::string error;  // why nothing could be listed; empty when listing worked
};

// What names this adapter across plug-ins and reboots, for the settings file: the
// by-id link, else the Windows instance id, else the system path.
std::string PortIdentity(const PortInfo& port);

// The number the "Com" box takes for this port: N for /dev/ttyUSB{N-1} and COMN;
// nullopt for any other path (ttyACM0, ttyS0), which must be given as a path.
std::optional<int> ComNumberOf(const PortInfo& port);

// Path order with numbers compared as numbers: ttyUSB2 before ttyUSB10, COM9 before COM10.
bool PathLess(const std::string& a, const std::string& b);

}  // namespace velarin::ports
