#pragma once
// Ctrl-C and SIGTERM as a request to stop: a thread of its own waits for them, so
// the callback may lock and notify (a signal handler could do neither). A second
// signal ends the process at once. Construct before any other thread starts, so
// every thread inherits the blocked mask.

#include <atomic>
#include <functional>
#include <thread>

namespace velarin::cli {

class StopSignals {
 public:
  explicit StopSignals(std::function<void()> on_stop);
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  std::function<void()> on_stop_;
  std::atomic<bool> leaving_{false};
  std::thread thread_;
};

}  // namespace velarin::cli
