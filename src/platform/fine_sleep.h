#pragma once
// Windows sleeps in steps of the system timer, 15.6 ms unless a process asks for
// finer: every 8 ms pause of a frame would then last 15.6 ms. While a FineSleep
// lives, the process asks for 1 ms steps (timeBeginPeriod). Elsewhere a no-op.

namespace velarin {

class FineSleep {
 public:
  FineSleep();
  ~FineSleep();
  FineSleep(const FineSleep&) = delete;
  FineSleep& operator=(const FineSleep&) = delete;

 private:
  [[maybe_unused]] bool granted_ = false;
};

}  // namespace velarin
