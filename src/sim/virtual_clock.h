#pragma once
// A clock that only moves when the program sleeps. Events scheduled on it (the
// simulated ECU's bytes) run in time order as a sleep passes their moment, so
// a 36 s wait takes microseconds and every timing can be checked to the ms.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/clock.h"

namespace velarin {

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(uint32_t start_ms = 0) : now_(start_ms) {}

  uint32_t NowMs() override { return now_; }
  void Sleep(uint32_t ms) override;
  // Advances to the first scheduled event within `ms` (or by `ms`), so the
  // event loop re-checks its queue after every simulated event.
  void Idle(uint32_t ms, Wakeup& wake) override;

  // Runs `fn` when the clock reaches `delay_ms` from now (0: at the next advance).
  void Schedule(uint32_t delay_ms, std::function<void()> fn);
  // Moves time forward by `ms`, running every event due on the way.
  void Advance(uint32_t ms) { Sleep(ms); }

  // Every Sleep() call, in order: the pauses a procedure made.
  const std::vector<uint32_t>& sleeps() const { return sleeps_; }
  void ClearSleeps() { sleeps_.clear(); }
  // Long runs (fuzzers, soak) keep no list of sleeps: it would grow without end.
  void RecordSleeps(bool on) { record_sleeps_ = on; }
  // Total virtual time elapsed since construction (does not wrap).
  uint64_t elapsed_total() const { return total_; }

 private:
  void AdvanceTo(uint64_t target);  // in total_ units

  uint32_t now_;
  uint64_t total_ = 0;
  uint64_t sequence_ = 0;
  // Keyed by (due time in total_ units, insertion order) so equal times keep their order.
  std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> events_;
  std::vector<uint32_t> sleeps_;
  bool record_sleeps_ = true;
};

}  // namespace velarin
