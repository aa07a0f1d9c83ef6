#pragma once
// Opening, closing and re-clocking the main window's serial port. Failures are
// absorbed here: callers only look at whether the port ended up open.

#include <cstdint>
#include <string_view>

#include "forms/link_port.h"
#include "protocol/line_rates.h"

namespace velarin {

// The "Com" box text as a port number: NumberFromText rounded half to even into
// 16 bits; 0 when the text holds no number or one outside the 16-bit range.
int16_t PortNumberFromText(std::string_view text);

// Applies port number, DTR, RTS, thresholds and "1200,n,8,1", then opens.
// A port number below 1 (without a --device override) or a device that cannot
// be opened leaves the port closed; nothing is raised.
void OpenLinkPort(LinkPort& port, int16_t port_number);
// Discards pending input and closes, when open.
void CloseLinkPort(LinkPort& port);
// Hands `baud` to the driver unchanged. Not open: 8018; state unreadable: 8021;
// refused: 8015 -- each recorded in port.debug_trace and otherwise ignored.
void SetBaudRate(LinkPort& port, int32_t baud);

}  // namespace velarin
