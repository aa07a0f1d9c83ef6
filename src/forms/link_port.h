#pragma once
// State of the main window's serial port control (MSComm1): the LinkPort.
// The routines that act on it are in link/link_port.h.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace velarin {

// Error numbers the port control raises; SetBaudRate and the open absorb them.
inline constexpr int kErrPortNotOpen = 8018;
inline constexpr int kErrReadState = 8021;
inline constexpr int kErrSetBaud = 8015;

struct AbsorbedError {
  int number = 0;
  std::string message;
};

struct LinkPort {
  SerialDevice* device = nullptr;  // not owned
  std::string device_path;         // --device PATH; empty: derived from CommPort
  int16_t CommPort = 1;
  std::string Settings = "1200,n,8,1";
  bool DTREnable = false;
  bool RTSEnable = false;
  int16_t RThreshold = 0;
  int16_t SThreshold = 0;
  int32_t baud = 1200;  // the rate in force
  // The rate read back after the last switch, when the driver reports one far from 7812.5.
  std::string rate_warning;
  // Absorbed errors, newest last: a debug trace that nothing shows.
  std::vector<AbsorbedError> debug_trace;

  bool PortOpen() const { return device != nullptr && device->IsOpen(); }
  // 2 (data received) once a byte arrived since the open, else 0.
  int16_t CommEvent() const { return device != nullptr && device->DataArrived() ? 2 : 0; }
};

}  // namespace velarin
