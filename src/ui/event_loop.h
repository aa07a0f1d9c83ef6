#pragma once
// The window's event loop, Qt-free: the Timer1 schedule, a queue of user events
// and DoEvents. Ticks never overlap and no handler is re-entered except through
// DoEvents; clicks made during a wait run after it, in order. Runs on the
// calling thread, on the real clock (GUI thread, CLI) or the virtual clock (tests).

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "forms/app.h"
#include "platform/clock.h"

namespace velarin {

class EventLoop : public Services {
 public:
  // Installs itself as app.services.
  EventLoop(App& app, Clock& clock);

  // Thread-safe: queues a user event (a click, typed text, an option choice).
  void Post(std::function<void()> event);
  // The Timer1 handler, run whenever protocol.Timer1 is enabled and a tick is due.
  void SetTick(std::function<void()> tick) { tick_ = std::move(tick); }
  // Called on the loop's thread after every event and tick, inside DoEvents and on
  // Repaint: the place where a view takes its snapshot of the forms.
  void SetPublish(std::function<void()> publish) { publish_ = std::move(publish); }
  void SetMessageBox(std::function<void(const std::string&)> fn) { message_box_ = std::move(fn); }
  void SetUrlOpener(std::function<void(const std::string&)> fn) { open_url_ = std::move(fn); }

  // Runs events and ticks until Quit(), or until `max_ms` of clock time passed,
  // or until `done` returns true (checked after every event and tick).
  void Run();
  void RunFor(uint32_t max_ms);
  bool RunUntil(const std::function<bool()>& done, uint32_t max_ms);
  // Thread-safe: makes Run() return after the current event or tick.
  void Quit();
  bool quitting() const;

  // Services.
  Clock& clock() override { return clock_; }
  void DoEvents() override;
  void Repaint() override;
  void MessageBox(const std::string& text) override;
  void OpenUrl(const std::string& url) override;

  uint64_t ticks_run() const { return ticks_run_; }
  // Events posted and not yet run.
  size_t pending_events() const;

  // Longest idle wait when neither an event nor a tick is due.
  static constexpr uint32_t kIdleSliceMs = 1000;

 private:
  bool RunOne();  // one due tick or one event; false when nothing was due
  bool TickDue();
  void RunTick();
  bool RunQueuedEvent();  // false when the queue was empty

  App& app_;
  Clock& clock_;
  std::function<void()> tick_;
  std::function<void()> publish_;
  std::function<void(const std::string&)> message_box_;
  std::function<void(const std::string&)> open_url_;

  mutable std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
  bool quit_ = false;
  Wakeup wakeup_;

  // Timer schedule.
  uint64_t seen_generation_ = ~0ull;
  uint32_t next_due_ = 0;
  bool in_tick_ = false;
  int event_depth_ = 0;
  uint64_t ticks_run_ = 0;
};

}  // namespace velarin
