#pragma once
// From udev's description of a tty device to a PortInfo, without udev itself:
// the lister hands over the device's properties, tests hand over canned
// `udevadm info --query=property` dumps.

#include <map>
#include <string>
#include <string_view>

#include "ports/port_info.h"

namespace velarin::ports {

using UdevProperties = std::map<std::string, std::string, std::less<>>;

// "KEY=value" lines (also `udevadm info`'s "E: KEY=value"); other lines are ignored.
UdevProperties ParseUdevPropertyDump(std::string_view dump);

// Undoes udev's "\xHH" escapes of the *_ENC properties; a broken escape stays as it is.
std::string DecodeUdevString(std::string_view encoded);

// DEVNAME, the by-id link among DEVLINKS, the USB id, the device's own vendor,
// model and serial strings (the USB database's names when the device has none),
// the USB driver, and the 7812 classification.
PortInfo PortFromUdevProperties(const UdevProperties& properties);

}  // namespace velarin::ports
