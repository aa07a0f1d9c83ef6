#pragma once
// The port list as the user reads it: one line per port for `--list-ports`, and
// the entries of the window's adapter drop-down.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/port_info.h"

namespace velarin::ports {

// "/dev/ttyUSB0  Com 1  0403:6001  FTDI FT232R USB UART  serial A50285BI  driver ftdi_sio
// /dev/serial/by-id/...", then "  ! " and the rate note when there is one; parts
// the system did not tell are left out.
std::string PortLine(const PortInfo& port);

// One PortLine per port, each ending in '\n'; "no serial ports found" (and why,
// after ": ", when listing failed) for an empty list.
std::string PortListText(const PortList& list);

struct PortChoice {
  std::string identity;     // what the settings file remembers (PortIdentity)
  std::string label;        // what the drop-down shows
  std::string system_path;  // the port to fill in; empty when not present
  std::optional<int> com;   // the "Com" number of that port, when it has one
  bool present = true;
  Rate7812 rate_7812 = Rate7812::kNoKnownProblem;
  std::string rate_note;
};

// The drop-down's entries: every listed port, and the remembered adapter marked
// "not present" when it is not among them (so a selection survives an unplug).
std::vector<PortChoice> PortChoices(const std::vector<PortInfo>& ports,
                                    std::string_view remembered_identity);

}  // namespace velarin::ports
