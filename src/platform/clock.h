#pragma once
// The millisecond clock and sleep that pace every wait, pause and time-out.
// The count is 32 bits and wraps; differences go through Elapsed().

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace velarin {

// now - start modulo 2^32 read as signed, so a wrap of the counter between
// the two readings neither shortens nor lengthens a wait.
inline int32_t Elapsed(uint32_t start, uint32_t now) { return static_cast<int32_t>(now - start); }

// A flag another thread (or a simulated event) raises to cut an idle wait short.
class Wakeup {
 public:
  void Signal();
  // Waits until signalled or `ms` have passed on the real clock; clears the flag.
  void WaitFor(uint32_t ms);

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool signalled_ = false;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t NowMs() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  // An idle wait of at most `ms` that ends early once `wake` is signalled.
  // Used by the event loop between ticks; procedures use Sleep.
  virtual void Idle(uint32_t ms, Wakeup& wake) = 0;
};

// Microseconds on the process's steady clock: never wraps, never goes back.
// Time stamps of captures and measured echo delays.
uint64_t MonotonicMicros();

// The process's steady clock, truncated to 32 bits.
class SystemClock : public Clock {
 public:
  SystemClock();
  uint32_t NowMs() override;
  void Sleep(uint32_t ms) override;
  void Idle(uint32_t ms, Wakeup& wake) override;
};

}  // namespace velarin
