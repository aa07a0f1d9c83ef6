#include "platform/fine_sleep.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <timeapi.h>
#endif

namespace velarin {

#ifdef _WIN32
namespace {
constexpr UINT kPeriodMs = 1;
}  // namespace

// Requests nest: each granted begin is matched by one end.
FineSleep::FineSleep() : granted_(timeBeginPeriod(kPeriodMs) == TIMERR_NOERROR) {}
FineSleep::~FineSleep() {
  if (granted_) timeEndPeriod(kPeriodMs);
}
#else
FineSleep::FineSleep() = default;
FineSleep::~FineSleep() = default;
#endif

}  // namespace velarin
