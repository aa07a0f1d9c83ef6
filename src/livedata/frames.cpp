#include "livedata/frames.h"

namespace velarin {

// Placeholder until the frame reader lands.
void ReadLive15m(App&) {}
void ReadLive16m(App&) {}
void ReadLiveP8(App&) {}

}  // namespace velarin
