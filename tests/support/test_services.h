#pragma once
// Services for tests: the program's clock is a VirtualClock, and every yield,
// repaint, message box and opened url is counted or recorded for assertions.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/app.h"
#include "sim/virtual_clock.h"

namespace velarin::testing {

class TestServices : public Services {
 public:
  explicit TestServices(uint32_t start_ms = 0) : clock_(start_ms) {}

  VirtualClock& virtual_clock() { return clock_; }

  Clock& clock() override { return clock_; }
  void DoEvents() override {
    ++do_events;
    // A test may click or type here, as a user would during a yield.
    if (on_do_events) on_do_events();
  }
  void Repaint() override {
    ++repaints;
    // A test may look at the windows as the user would see them at this moment.
    if (on_repaint) on_repaint();
  }
  void MessageBox(const std::string& text) override { message_boxes.push_back(text); }
  void OpenUrl(const std::string& url) override { urls.push_back(url); }

  int do_events = 0;
  int repaints = 0;
  std::vector<std::string> message_boxes;
  std::vector<std::string> urls;
  std::function<void()> on_do_events;
  std::function<void()> on_repaint;

 private:
  VirtualClock clock_;
};

}  // namespace velarin::testing
