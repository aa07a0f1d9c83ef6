#include "ui/event_loop.h"

#include <algorithm>
#include <utility>

namespace velarin {
namespace {

// Restores a flag or counter however the handler it guards ends.
template <typename T>
class ScopedValue {
 public:
  ScopedValue(T& target, T value) : target_(target), old_(target) { target_ = value; }
  ~ScopedValue() { target_ = old_; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& target_;
  T old_;
};

}  // namespace

EventLoop::EventLoop(App& app, Clock& clock) : app_(app), clock_(clock) { app_.services = this; }

void EventLoop::Post(std::function<void()> event) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(event));
  }
  wakeup_.Signal();
}

void EventLoop::Quit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wakeup_.Signal();
}

bool EventLoop::quitting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return quit_;
}

size_t EventLoop::pending_events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size();
}

bool EventLoop::TickDue() {
  const Timer& t = app_.protocol.Timer1;
  if (!t.enabled || t.interval < 1) return false;
  if (t.generation != seen_generation_) {
    // TimerOn restarted the count: the first tick is one interval after it.
    seen_generation_ = t.generation;
    next_due_ = t.restarted_at + static_cast<uint32_t>(t.interval);
  }
  return Elapsed(next_due_, clock_.NowMs()) >= 0;
}

void EventLoop::RunTick() {
  const uint32_t due = next_due_;
  const uint64_t generation = app_.protocol.Timer1.generation;
  {
    ScopedValue<bool> in_tick(in_tick_, true);
    if (tick_) tick_();
  }
  ++ticks_run_;
  const Timer& t = app_.protocol.Timer1;
  if (t.generation == generation && t.interval >= 1) {
    // Due one interval after the previous one was due; an overrun makes it due
    // at once, and however long the overrun, only one tick is pending.
    next_due_ = due + static_cast<uint32_t>(t.interval);
    const uint32_t now = clock_.NowMs();
    if (Elapsed(next_due_, now) > 0) next_due_ = now;
  }
}

bool EventLoop::RunQueuedEvent() {
  std::function<void()> event;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty()) return false;
    event = std::move(queue_.front());
    queue_.pop_front();
  }
  ScopedValue<int> depth(event_depth_, event_depth_ + 1);
  if (event) event();
  return true;
}

bool EventLoop::RunOne() {
  if (RunQueuedEvent()) return true;
  if (!in_tick_ && TickDue()) {
    RunTick();
    return true;
  }
  return false;
}

void EventLoop::DoEvents() {
  // Only what is pending now: events posted meanwhile wait for the next yield,
  // so a stream of input cannot keep a procedure inside its yield forever.
  size_t pending = pending_events();
  while (pending-- > 0 && RunQueuedEvent()) {
  }
  if (!in_tick_ && TickDue()) RunTick();
  if (publish_) publish_();
}

void EventLoop::Repaint() {
  if (publish_) publish_();
}

void EventLoop::MessageBox(const std::string& text) {
  if (message_box_) message_box_(text);
}

void EventLoop::OpenUrl(const std::string& url) {
  if (open_url_) open_url_(url);
}

bool EventLoop::RunUntil(const std::function<bool()>& done, uint32_t max_ms) {
  const uint32_t start = clock_.NowMs();
  for (;;) {
    if (done && done()) return true;
    if (quitting()) return false;
    const int32_t spent = std::max<int32_t>(0, Elapsed(start, clock_.NowMs()));
    if (static_cast<uint32_t>(spent) >= max_ms) return false;
    if (RunOne()) {
      if (publish_) publish_();
      continue;
    }
    uint32_t wait = std::min<uint32_t>(kIdleSliceMs, max_ms - static_cast<uint32_t>(spent));
    if (app_.protocol.Timer1.enabled && app_.protocol.Timer1.interval >= 1) {
      // RunOne has just brought next_due_ up to date with the timer.
      const int32_t until_due = Elapsed(clock_.NowMs(), next_due_);
      wait = std::min<uint32_t>(wait, until_due > 0 ? static_cast<uint32_t>(until_due) : 0);
    }
    if (wait > 0) clock_.Idle(wait, wakeup_);
  }
}

void EventLoop::RunFor(uint32_t max_ms) { RunUntil(nullptr, max_ms); }

void EventLoop::Run() {
  while (!quitting()) RunUntil(nullptr, kIdleSliceMs * 60);
}

}  // namespace velarin
