#pragma once
// One live-data frame per polling tick: up to nine channel exchanges, decoded
// into the readout panel. One reader, parameterised by the family's profile.
// Nothing is logged; a time-out drops the rest of the frame silently.

#include "forms/app.h"
#include "livedata/frame_profile.h"

namespace velarin {

void ReadLiveFrame(App& app, const FrameProfile& profile);

void ReadLive15m(App& app);  // 15m and 15Rc (Option9 adds the second throttle code)
void ReadLive16m(App& app);
void ReadLiveP8(App& app);

}  // namespace velarin
