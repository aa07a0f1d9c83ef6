#pragma once
// A capture seen from the ECU's side: split at every open of the port, the
// adapter's echo taken out, and each byte the ECU sent put with the request it
// followed. This is what a replay plays back.

#include <cstdint>
#include <string>
#include <vector>

#include "capture/capture.h"

namespace velarin {

struct CapturedByte {
  uint64_t at_us;  // see the owner
  uint8_t byte;
  int32_t rate;  // the program's rate when it arrived; 0 when the driver did not say
};

struct CapturedExchange {
  uint64_t at_us;  // since the port opened
  uint8_t request;
  int32_t rate;                      // the rate the request went out at (0: unknown)
  std::vector<CapturedByte> answer;  // the ECU's bytes until the next request; at_us after this one
};

struct CapturedSegment {
  std::string device;
  // The adapter echoed: at least half of the requests came back ahead of the answers.
  bool echo = false;
  // The ECU's bytes before the first request (the wake-up burst); at_us since the open.
  std::vector<CapturedByte> unsolicited;
  std::vector<CapturedExchange> exchanges;
};

// One segment per open in the capture, in order.
std::vector<CapturedSegment> SplitCapturedSession(const Capture& capture);

}  // namespace velarin
