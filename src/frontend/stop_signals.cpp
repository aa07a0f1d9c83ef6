#include "frontend/stop_signals.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

namespace velarin::cli {
namespace {
std::function<void()>* g_on_stop = nullptr;
std::atomic<int> g_signals{0};

// Runs on a thread the console makes for it, so locking and notifying are fine.
BOOL WINAPI OnConsoleCtrl(DWORD) {
  if (g_signals.fetch_add(1) > 0) std::_Exit(130);
  if (g_on_stop != nullptr && *g_on_stop) (*g_on_stop)();
  return TRUE;
}
}  // namespace

StopSignals::StopSignals(std::function<void()> on_stop) : on_stop_(std::move(on_stop)) {
  g_on_stop = &on_stop_;
  SetConsoleCtrlHandler(OnConsoleCtrl, TRUE);
}

StopSignals::~StopSignals() {
  SetConsoleCtrlHandler(OnConsoleCtrl, FALSE);
  g_on_stop = nullptr;
}

}  // namespace velarin::cli

#else
#include <pthread.h>
#include <signal.h>

namespace velarin::cli {
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
      if (on_stop_) on_stop_();
    }
  });
}

StopSignals::~StopSignals() {
  leaving_.store(true);
  pthread_kill(thread_.native_handle(), SIGTERM);
  thread_.join();
}

}  // namespace velarin::cli

#endif  // _WIN32
