#pragma once
// One live-data frame per polling tick: up to nine channel exchanges, decoded
// into the readout panel. One reader parameterised by family.

#include "forms/app.h"

namespace velarin {

void ReadLive15m(App& app);  // 15m and 15Rc
void ReadLive16m(App& app);
void ReadLiveP8(App& app);

}  // namespace velarin
