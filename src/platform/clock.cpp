#include "platform/clock.h"

#include <chrono>
#include <thread>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace velarin {

void Wakeup::Signal() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = true;
  }
  cv_.notify_all();
}

void Wakeup::WaitFor(uint32_t ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return signalled_; });
  signalled_ = false;
}

SystemClock::SystemClock() {
#ifdef __linux__
  // The protocol's pauses are 1 to 10 ms; the default 50 us timer slack adds jitter to each.
  prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
#endif
}

uint32_t SystemClock::NowMs() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

uint64_t MonotonicMicros() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

void SystemClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void SystemClock::Idle(uint32_t ms, Wakeup& wake) { wake.WaitFor(ms); }

}  // namespace velarin
