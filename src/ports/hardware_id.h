#pragma once
// Windows names a device by texts such as "USB\VID_10C4&PID_EA60&REV_0100" (a
// hardware id), "FTDIBUS\COMPORT&VID_0403&PID_6001" or the instance id
// "USB\VID_0403&PID_6001\A50285BI". These read the USB id and the serial number
// out of them; pure, so that they are tested anywhere.

#include <optional>
#include <string>
#include <string_view>

#include "ports/port_info.h"

namespace velarin::ports {

// The "VID_xxxx" and "PID_xxxx" parts (any case, '&' or '+' between them);
// nullopt when either is missing or not four hex digits.
std::optional<UsbId> UsbIdFromHardwareId(std::string_view id);

// The serial number a USB device instance id ends with ("USB\VID_..&PID_..\SERIAL");
// empty for an interface of a composite device ("&MI_xx"), for an id Windows made
// up from the socket because the device has no serial ("5&2A1B3C4D&0&2"), and for
// ids of other buses.
std::string SerialFromInstanceId(std::string_view id);

}  // namespace velarin::ports
