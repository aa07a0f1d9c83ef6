#pragma once
// State of the main window's serial port control (MSComm1): the LinkPort.
// The routines that act on it are in link/link_port.h.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "protocol/line_rates.h"

namespace velarin {

// Error numbers the port control raises; SetBaudRate and the open absorb them.
inline constexpr int kErrBadPortNumber = 8002;
inline constexpr int kErrPortAlreadyOpen = 8005;
inline constexpr int kErrPortNotOpen = 8018;
inline constexpr int kErrReadState = 8021;
inline constexpr int kErrSetBaud = 8015;

// The port's most recent event once a byte has arrived since the open.
inline constexpr int16_t kCommEventReceive = 2;

struct AbsorbedError {
  int number = 0;
  std::string message;
};

struct LinkPort {
  SerialDevice* device = nullptr;  // not owned
  std::string device_path;         // --device PATH; empty: derived from CommPort
  int16_t CommPort = 1;
  std::string Settings = std::string(kWakeSettings);
  bool DTREnable = false;
  bool RTSEnable = false;
  int16_t RThreshold = 0;
  int16_t SThreshold = 0;
  int32_t baud = kWakeBaud;  // the rate in force
  // The rate read back after the last switch, when the driver reports one far from 7812.5.
  std::string rate_warning;
  // Absorbed errors, newest last: a debug trace that nothing shows.
  std::vector<AbsorbedError> debug_trace;

  bool PortOpen() const { return device != nullptr && device->IsOpen(); }
  // kCommEventReceive once a byte arrived since the open, else 0.
  int16_t CommEvent() const {
    return device != nullptr && device->DataArrived() ? kCommEventReceive : 0;
  }
};

}  // namespace velarin
