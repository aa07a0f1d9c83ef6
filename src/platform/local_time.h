#pragma once

#include <ctime>

namespace velarin {

// The wall-clock time now in the user's time zone (names of recordings, dates in reports).
std::tm LocalTimeNow();

}  // namespace velarin
