#pragma once
// The main window's port with a capture in front of it, in every program: the
// procedures talk to the port as before while a capture, once started, writes
// every byte to and from the adapter into a file (docs/capture-format.md). The
// capture stays in front of whatever device the port uses, the platform's or a
// simulated line inside the program, and notes the family selected at every
// open of the port, so a replay knows which ECU it plays.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "forms/link_port.h"

namespace velarin::frontend {

class PortCapture {
 public:
  // `family_now`: the family selected at that moment, as its note names it ("" for none).
  explicit PortCapture(std::function<std::string()> family_now);
  ~PortCapture();
  PortCapture(const PortCapture&) = delete;
  PortCapture& operator=(const PortCapture&) = delete;

  // Puts the capture in front of the device `port` uses now; again whenever
  // the port is handed another device.
  void Attach(LinkPort& port);

  // Starts capturing into `path` at once (with the port's open row when it is
  // open), ending a capture in progress. False with *error ("cannot create the
  // capture: PATH: reason") when the file cannot be created. `program` goes
  // into the capture's notes with the version.
  bool Start(const std::string& path, std::string_view program, std::string* error);
  // Ends the capture: its end row, the file closed. A no-op when not capturing.
  void Stop();

  // Capturing and writing.
  bool capturing() const;
  // The status line: "capturing to PATH", "capture saved: PATH", "capture
  // stopped: No space left on device" once a write failed; "" before any capture.
  std::string Status() const;
  // The status line of a capture that stopped on a failed write, once; else "".
  std::string TakeFailure();

 private:
  class Route;
  class Device;

  std::unique_ptr<Route> route_;
  std::unique_ptr<Device> device_;
  std::string path_;
  bool failure_reported_ = false;
};

}  // namespace velarin::frontend
