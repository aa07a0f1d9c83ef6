#include "frontend/stop_signals.h"

#include <chrono>
#include <cstdlib>

namespace velarin::frontend {

bool StopSignals::WaitFor(std::optional<uint32_t> ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto stopped = [this] { return stopped_; };
  if (!ms) {
    stopped_cv_.wait(lock, stopped);
    return true;
  }
  return stopped_cv_.wait_for(lock, std::chrono::milliseconds(*ms), stopped);
}

void StopSignals::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
  }
  stopped_cv_.notify_all();
  if (on_stop_) on_stop_();
}

}  // namespace velarin::frontend

#ifdef _WIN32
#include <windows.h>

namespace velarin::frontend {
namespace {
StopSignals* g_stop_signals = nullptr;
std::atomic<int> g_signals{0};

// Runs on a thread the console makes for it, so locking and notifying are fine.
BOOL WINAPI OnConsoleCtrl(DWORD) {
  if (g_signals.fetch_add(1) > 0) std::_Exit(130);
  if (g_stop_signals != nullptr) g_stop_signals->Stop();
  return TRUE;
}
}  // namespace

StopSignals::StopSignals(std::function<void()> on_stop) : on_stop_(std::move(on_stop)) {
  g_stop_signals = this;
  SetConsoleCtrlHandler(OnConsoleCtrl, TRUE);
}

StopSignals::~StopSignals() {
  SetConsoleCtrlHandler(OnConsoleCtrl, FALSE);
  g_stop_signals = nullptr;
}

}  // namespace velarin::frontend

#else
#include <pthread.h>
#include <signal.h>

namespace velarin::frontend {
namespace {

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> on_stop) : on_stop_(std::move(on_stop)) {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  thread_ = std::thread([this] {
    const sigset_t waited = StopSet();
    bool stopping = false;
    for (;;) {
      int sig = 0;
      if (sigwait(&waited, &sig) != 0) continue;
      if (leaving_.load()) return;
      if (stopping) std::_Exit(128 + sig);  // the second Ctrl-C does not wait
      stopping = true;
      Stop();
    }
  });
}

StopSignals::~StopSignals() {
  leaving_.store(true);
  pthread_kill(thread_.native_handle(), SIGTERM);
  thread_.join();
}

}  // namespace velarin::frontend

#endif  // _WIN32
