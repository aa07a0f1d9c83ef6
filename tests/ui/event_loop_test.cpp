#include "ui/event_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "forms/timer_on.h"
#include "platform/clock.h"
#include "sim/virtual_clock.h"

namespace velarin {
namespace {

// The virtual clock, with every idle wait the loop makes on it recorded.
class RecordingClock : public Clock {
 public:
  explicit RecordingClock(uint32_t start = 0) : clock_(start) {}
  uint32_t NowMs() override { return clock_.NowMs(); }
  void Sleep(uint32_t ms) override { clock_.Sleep(ms); }
  void Idle(uint32_t ms, Wakeup& wake) override {
    idles.push_back(ms);
    clock_.Idle(ms, wake);
  }
  VirtualClock& virtual_clock() { return clock_; }
  std::vector<uint32_t> idles;

 private:
  VirtualClock clock_;
};

class EventLoopTest : public ::testing::Test {
 protected:
  explicit EventLoopTest(uint32_t start = 0) : clock_(start), loop_(app_, clock_) {}

  // Ticks record when they began (ms after the test's start) and last `tick_ms`.
  void RecordTicks(std::vector<uint32_t> durations = {}) {
    durations_ = std::move(durations);
    loop_.SetTick([this] {
      const size_t n = ticks_.size();
      ticks_.push_back(Since());
      const uint32_t ms = n < durations_.size() ? durations_[n] : tick_ms_;
      if (ms > 0) clock_.Sleep(ms);
      if (on_tick_) on_tick_(n);
    });
  }
  uint32_t Since() { return clock_.NowMs() - start_; }

  RecordingClock clock_;
  App app_;
  EventLoop loop_;
  uint32_t start_ = clock_.NowMs();
  uint32_t tick_ms_ = 0;
  std::vector<uint32_t> durations_;
  std::vector<uint32_t> ticks_;
  std::function<void(size_t)> on_tick_;
};

TEST_F(EventLoopTest, TimerOnEnablesOrStops) {
  struct Case {
    int16_t interval;
    bool enabled;
    int32_t stored;
  } cases[] = {{50, true, 50}, {1, true, 1},         {20, true, 20},    {0, false, 0},
               {-7, false, 0}, {32767, true, 32767}, {-32768, false, 0}};
  for (const Case& c : cases) {
    const uint64_t before = app_.protocol.Timer1.generation;
    clock_.Sleep(3);
    TimerOn(app_.protocol.Timer1, app_.clock(), c.interval);
    const Timer& t = app_.protocol.Timer1;
    EXPECT_EQ(t.enabled, c.enabled) << c.interval;
    EXPECT_EQ(t.interval, c.stored) << c.interval;
    EXPECT_EQ(t.restarted_at, clock_.NowMs()) << c.interval;
    EXPECT_EQ(t.generation, before + 1) << c.interval;
  }
}

TEST_F(EventLoopTest, TicksAreDueOneIntervalAfterThePreviousWasDue) {
  struct Case {
    const char* name;
    std::vector<uint32_t> durations;  // of the first ticks; later ones take 0 ms
    uint32_t run_ms;
    std::vector<uint32_t> expected;
  } cases[] = {
      {"idle ticks", {}, 260, {50, 100, 150, 200, 250}},
      {"work inside the interval does not shift the schedule",
       {30, 30, 30},
       210,
       {50, 100, 150, 200}},
      {"an overrun makes the next tick due at once", {120, 120, 120}, 400, {50, 170, 290, 410}},
      {"a long tick leaves one tick pending, not a pile", {500}, 700, {50, 550, 600, 650, 700}},
      {"back to schedule after a small overrun", {60}, 260, {50, 110, 160, 210, 260}},
  };
  for (const Case& c : cases) {
    RecordingClock clock;
    App app;
    EventLoop loop(app, clock);
    std::vector<uint32_t> at;
    loop.SetTick([&] {
      const size_t n = at.size();
      at.push_back(clock.NowMs());
      if (n < c.durations.size()) clock.Sleep(c.durations[n]);
    });
    TimerOn(app.protocol.Timer1, app.clock(), 50);
    loop.RunFor(c.run_ms);
    loop.RunFor(1);  // a tick due exactly at run_ms starts after RunFor returned
    EXPECT_EQ(at, c.expected) << c.name;
  }
}

TEST_F(EventLoopTest, TimerOnRestartsTheCount) {
  RecordTicks();
  TimerOn(app_.protocol.Timer1, app_.clock(), 50);
  clock_.virtual_clock().Schedule(
      120, [this] { loop_.Post([this] { TimerOn(app_.protocol.Timer1, app_.clock(), 50); }); });
  loop_.RunFor(300);
  EXPECT_EQ(ticks_, (std::vector<uint32_t>{50, 100, 170, 220, 270}));
}

TEST_F(EventLoopTest, TickThatReArmsOrStopsTheTimer) {
  RecordTicks({0, 10, 0, 0});
  on_tick_ = [this](size_t n) {
    if (n == 1)
      TimerOn(app_.protocol.Timer1, app_.clock(), 20);  // at 110: the count restarts from here
    if (n == 3) TimerOn(app_.protocol.Timer1, app_.clock(), 0);
  };
  TimerOn(app_.protocol.Timer1, app_.clock(), 50);
  loop_.RunFor(1000);
  EXPECT_EQ(ticks_, (std::vector<uint32_t>{50, 100, 130, 150}));
  EXPECT_FALSE(app_.protocol.Timer1.enabled);
}

TEST_F(EventLoopTest, ClockWrapDoesNotDisturbTheSchedule) {
  // Restart on a clock 70 ms before its 32-bit counter wraps.
  RecordingClock wrapping(0xFFFFFFFFu - 70);
  App app;
  EventLoop loop(app, wrapping);
  std::vector<uint32_t> at;
  const uint32_t start = wrapping.NowMs();
  loop.SetTick([&] { at.push_back(wrapping.NowMs() - start); });
  TimerOn(app.protocol.Timer1, app.clock(), 50);
  loop.RunFor(160);
  EXPECT_EQ(at, (std::vector<uint32_t>{50, 100, 150}));
}

TEST_F(EventLoopTest, EventsRunInOrderBetweenTicks) {
  std::vector<std::string> order;
  loop_.SetTick([&] {
    order.push_back("tick@" + std::to_string(Since()));
    // Clicks made while the tick blocks wait until it has returned.
    clock_.virtual_clock().Schedule(5, [&] {
      loop_.Post([&] { order.push_back("a@" + std::to_string(Since())); });
      loop_.Post([&] { order.push_back("b@" + std::to_string(Since())); });
    });
    clock_.Sleep(20);
    order.push_back("tick end");
  });
  loop_.Post([&] { order.push_back("first"); });
  loop_.Post([&] { order.push_back("second"); });
  TimerOn(app_.protocol.Timer1, app_.clock(), 50);
  loop_.RunFor(80);
  EXPECT_EQ(order,
            (std::vector<std::string>{"first", "second", "tick@50", "tick end", "a@70", "b@70"}));
}

TEST_F(EventLoopTest, DoEventsInsideATickRunsClicksButNeverAnotherTick) {
  int depth = 0;
  int deepest = 0;
  std::vector<std::string> order;
  loop_.SetTick([&] {
    ++depth;
    deepest = std::max(deepest, depth);
    order.push_back("tick");
    clock_.Sleep(200);  // the next tick is long due
    loop_.DoEvents();
    --depth;
  });
  TimerOn(app_.protocol.Timer1, app_.clock(), 50);
  clock_.virtual_clock().Schedule(100, [&] { loop_.Post([&] { order.push_back("click"); }); });
  loop_.RunFor(260);
  EXPECT_EQ(deepest, 1);
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], "tick");
  EXPECT_EQ(order[1], "click");  // ran inside the tick's yield
  EXPECT_EQ(order[2], "tick");
}

TEST_F(EventLoopTest, DoEventsInsideAnEventRunsADueTick) {
  std::vector<std::string> order;
  loop_.SetTick([&] { order.push_back("tick@" + std::to_string(Since())); });
  TimerOn(app_.protocol.Timer1, app_.clock(), 50);
  loop_.Post([&] {
    clock_.Sleep(60);
    order.push_back("handler yields");
    loop_.DoEvents();
    order.push_back("handler done");
  });
  loop_.RunFor(1);
  EXPECT_EQ(order, (std::vector<std::string>{"handler yields", "tick@60", "handler done"}));
}

TEST_F(EventLoopTest, DoEventsRunsOnlyWhatWasPendingAtTheYield) {
  std::vector<std::string> order;
  loop_.Post([&] {
    order.push_back("pending");
    loop_.Post([&] { order.push_back("posted meanwhile"); });
  });
  loop_.DoEvents();
  EXPECT_EQ(order, (std::vector<std::string>{"pending"}));
  EXPECT_EQ(loop_.pending_events(), 1u);
  loop_.DoEvents();
  EXPECT_EQ(order.back(), "posted meanwhile");
}

TEST_F(EventLoopTest, IdleWaitsAreBoundedAndNeverZero) {
  // Stopped timer: whole idle slices, no spinning.
  loop_.RunFor(5000);
  EXPECT_EQ(clock_.idles, (std::vector<uint32_t>(5, EventLoop::kIdleSliceMs)));
  EXPECT_TRUE(clock_.virtual_clock().sleeps().empty());

  // Running timer: one idle wait per interval, up to the next due tick.
  clock_.idles.clear();
  RecordTicks();
  TimerOn(app_.protocol.Timer1, app_.clock(), 50);
  loop_.RunFor(1000);
  EXPECT_EQ(ticks_.size(), 19u);  // at 50..950; the one due at 1000 is after the run
  EXPECT_EQ(clock_.idles, (std::vector<uint32_t>(20, 50)));
}

TEST_F(EventLoopTest, IdleWaitEndsAtTheNextSimulatedEvent) {
  bool ran = false;
  clock_.virtual_clock().Schedule(300, [&] { loop_.Post([&] { ran = true; }); });
  EXPECT_TRUE(loop_.RunUntil([&] { return ran; }, 5000));
  EXPECT_EQ(Since(), 300u);
}

TEST_F(EventLoopTest, RunUntilAndQuit) {
  int events = 0;
  for (int i = 0; i < 3; ++i) loop_.Post([&] { ++events; });
  EXPECT_TRUE(loop_.RunUntil([&] { return events == 3; }, 1000));
  EXPECT_EQ(Since(), 0u);
  EXPECT_FALSE(loop_.RunUntil([] { return false; }, 250));
  EXPECT_EQ(Since(), 250u);
  loop_.Post([&] { loop_.Quit(); });
  loop_.Run();  // returns once the event has quit it
  EXPECT_TRUE(loop_.quitting());
}

TEST_F(EventLoopTest, PublishesAfterEveryEventAndTick) {
  int published = 0;
  loop_.SetPublish([&] { ++published; });
  RecordTicks();
  loop_.Post([] {});
  loop_.Post([] {});
  TimerOn(app_.protocol.Timer1, app_.clock(), 50);
  loop_.RunFor(120);  // two events, two ticks
  EXPECT_EQ(published, 4);
  loop_.Repaint();
  EXPECT_EQ(published, 5);
}

TEST_F(EventLoopTest, ServicesForwardToTheFrontEnd) {
  loop_.MessageBox("before any handler");  // nothing to show it on: ignored
  loop_.OpenUrl("https://example.org/");
  std::vector<std::string> boxes, urls;
  loop_.SetMessageBox([&](const std::string& t) { boxes.push_back(t); });
  loop_.SetUrlOpener([&](const std::string& u) { urls.push_back(u); });
  loop_.MessageBox("diagnostic mode failed");
  loop_.OpenUrl("https://example.org/donate");
  EXPECT_EQ(boxes, (std::vector<std::string>{"diagnostic mode failed"}));
  EXPECT_EQ(urls, (std::vector<std::string>{"https://example.org/donate"}));
  EXPECT_EQ(&app_.clock(), static_cast<Clock*>(&clock_));
}

// The window program runs the loop on a thread of its own and posts into it.
TEST(EventLoopOnAThread, RunsPostedEventsOnItsOwnThreadAndQuits) {
  SystemClock clock;
  App app;
  EventLoop loop(app, clock);
  std::promise<std::thread::id> ran_on;
  std::future<std::thread::id> result = ran_on.get_future();
  std::thread thread([&loop] { loop.Run(); });
  loop.Post([&] { ran_on.set_value(std::this_thread::get_id()); });
  // A guard against a hang, not a speed check.
  const bool ran = result.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  loop.Quit();
  thread.join();
  ASSERT_TRUE(ran);
  EXPECT_NE(result.get(), std::this_thread::get_id());
  EXPECT_TRUE(loop.quitting());
}

}  // namespace
}  // namespace velarin
