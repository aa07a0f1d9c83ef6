#include "sim/virtual_clock.h"

#include <utility>

namespace velarin {

void VirtualClock::Schedule(uint32_t delay_ms, std::function<void()> fn) {
  events_.emplace(std::make_pair(total_ + delay_ms, sequence_++), std::move(fn));
}

void VirtualClock::AdvanceTo(uint64_t target) {
  while (!events_.empty() && events_.begin()->first.first <= target) {
    auto node = events_.extract(events_.begin());
    now_ += static_cast<uint32_t>(node.key().first - total_);
    total_ = node.key().first;
    node.mapped()();  // may schedule further events, also before target
  }
  now_ += static_cast<uint32_t>(target - total_);
  total_ = target;
}

void VirtualClock::Sleep(uint32_t ms) {
  if (record_sleeps_) sleeps_.push_back(ms);
  AdvanceTo(total_ + ms);
}

void VirtualClock::Idle(uint32_t ms, Wakeup& wake) {
  uint64_t target = total_ + ms;
  if (!events_.empty() && events_.begin()->first.first < target) {
    target = events_.begin()->first.first;
  }
  AdvanceTo(target);
  (void)wake;
}

}  // namespace velarin
