#pragma once
// The serial ports the system has, and a watcher that tells when one comes or
// goes. Linux asks udev (libudev): it knows the USB identity of each tty, the
// stable /dev/serial/by-id link and the driver, and announces plug-ins on a
// netlink socket (libserialport's list has none of the last three).
// Windows asks SetupAPI (the Ports class and the COM-port interface). Listing
// runs on the caller's thread and takes a few milliseconds; it never opens a
// port, so it cannot disturb a connection.

#include <memory>

#include "ports/port_info.h"

namespace velarin::ports {

// USB adapters, ACM modems and on-board UARTs that have a chip behind them, in
// path order (ttyUSB2 before ttyUSB10). A build or system that cannot list says
// why in PortList::error.
PortList ListSerialPorts();

class PortWatcher {
 public:
  // How often to call Drain() when Fd() is -1.
  static constexpr int kPollMs = 1000;

  PortWatcher();
  ~PortWatcher();
  PortWatcher(const PortWatcher&) = delete;
  PortWatcher& operator=(const PortWatcher&) = delete;

  // Readable when a tty came or went (Linux: udev's monitor socket), for a
  // QSocketNotifier; -1 where the caller must poll Drain() every kPollMs
  // (Windows, or no udev).
  int Fd() const;
  // Reads what is pending without blocking; true when a port came or went since
  // the last call.
  bool Drain();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velarin::ports
