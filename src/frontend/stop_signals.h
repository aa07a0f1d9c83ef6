#pragma once
// Ctrl-C and SIGTERM as a request to stop: a thread of its own waits for them, so
// the callback may lock and notify (a signal handler could do neither). A second
// signal ends the process at once. Construct before any other thread starts, so
// every thread inherits the blocked mask.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace velarin::frontend {

class StopSignals {
 public:
  explicit StopSignals(std::function<void()> on_stop = {});
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Blocks until a stop was asked for, or `ms` passed (nullopt: no limit).
  // True when a stop was asked for.
  bool WaitFor(std::optional<uint32_t> ms);

  // The first stop: remembered, waiters woken, the callback run.
  void Stop();

 private:
  std::function<void()> on_stop_;
  std::mutex mutex_;
  std::condition_variable stopped_cv_;
  bool stopped_ = false;
  std::atomic<bool> leaving_{false};
  std::thread thread_;
};

}  // namespace velarin::frontend
