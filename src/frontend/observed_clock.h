#pragma once
// A clock that lets a front end look at the windows whenever a procedure pauses:
// the hook runs on the procedure's own thread before each Sleep, so whatever it
// reads is consistent, and log lines can leave as they are written, not at tick end.

#include <functional>

#include "platform/clock.h"

namespace velarin::frontend {

class ObservedClock : public Clock {
 public:
  explicit ObservedClock(Clock& inner) : inner_(inner) {}

  void SetHook(std::function<void()> hook) { hook_ = std::move(hook); }

  uint32_t NowMs() override { return inner_.NowMs(); }
  void Sleep(uint32_t ms) override;
  void Idle(uint32_t ms, Wakeup& wake) override { inner_.Idle(ms, wake); }

 private:
  Clock& inner_;
  std::function<void()> hook_;
  bool in_hook_ = false;
};

}  // namespace velarin::frontend
