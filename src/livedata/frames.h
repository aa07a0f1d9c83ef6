#pragma once
// One live-data frame per polling tick: up to nine channel exchanges, decoded
// into the readout panel. One reader, parameterised by the family's profile.
// Nothing is logged; a time-out drops the rest of the frame silently.

#include "forms/app.h"
#include "protocol/frame_profile.h"

namespace velarin {

// ReadLive15m, ReadLive16m and ReadLiveP8: this reader with kReadLive15m (15m, and
// 15Rc with its throttle branch), kReadLive16m or kReadLiveP8. The polling tick
// passes the profile its family's row names.
void ReadLiveFrame(App& app, const FrameProfile& profile);

}  // namespace velarin
