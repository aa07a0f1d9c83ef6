#pragma once
// One channel's exchange of a live-data frame: pause, flush, the request
// code(s), waits of 2000 ms polled in single 3 ms sleeps, one read of the
// whole buffer. Data bytes are picked from its hex text only behind their echo.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "forms/form2.h"
#include "forms/link_port.h"
#include "livedata/channels.h"
#include "platform/clock.h"
#include "protocol/frame_profile.h"

namespace velarin {

inline constexpr int32_t kAnswerTimeoutMs = 2000;

// The data bytes of one answer; each is empty when its echo was not in place.
struct ChannelAnswer {
  std::optional<uint8_t> first;   // behind the echo of the (first) code, hex characters 3-4
  std::optional<uint8_t> second;  // behind the echo of the second code, hex characters 7-8
};

// What the exchanges of one frame use: the port, the clock, and the window
// whose "inter byte delay" box paces the 16m frame.
struct FrameLink {
  LinkPort& port;
  Clock& clock;
  const Form2& form;
};

// The byte behind the echo at byte position `echo_at` (0-based) of `hex`, when
// the two hex digits there are those of `code`; empty otherwise or when short.
std::optional<uint8_t> DataBehindEcho(std::string_view hex, size_t echo_at, uint8_t code);

// The pause of the frame in ms: 8, or for 16m the "inter byte delay" box read now
// (rounded half to even; no number or a negative one: no pause).
uint32_t FramePauseMs(const Form2& f, const FrameProfile& profile);
void FramePause(const FrameLink& link, const FrameProfile& profile);

// Runs the exchange of `request`; `with_15rc` adds the 0x3A code to the throttle.
// False when a wait timed out: the frame must end there.
bool RunChannelExchange(const FrameLink& link, const FrameProfile& profile,
                        const ChannelRequest& request, bool with_15rc, ChannelAnswer* answer);

}  // namespace velarin
