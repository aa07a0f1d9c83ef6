#include "sim/pty_host.h"

#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/tty_settings.h"
#include "protocol/line_rates.h"
#include "protocol/wire_timing.h"
#include "sim/ecu_model.h"

namespace velarin {
namespace {

// Longest pause between two looks at the program's rate, so program_baud() stays fresh.
constexpr uint64_t kRateRefreshUs = 20'000;

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

class PtyHost::Impl : public EcuScheduler, public WireListener {
 public:
  explicit Impl(const EcuFactory& ecu)
      : epoch_(std::chrono::steady_clock::now()), ecu_(ecu(*this, *this)) {}
  ~Impl() { Stop(); }

  bool Start() {
    if (thread_.joinable()) return true;
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
      SetError(Errno("openpty"));
      return false;
    }
    slave_path_ = name;
    // A child the program starts must not inherit our ends: it would keep the
    // line alive and hide a hang-up from the program.
    if (fcntl(master_, F_SETFD, FD_CLOEXEC) != 0 || fcntl(slave_, F_SETFD, FD_CLOEXEC) != 0) {
      SetError(Errno("pty setup"));
      CloseAll();
      return false;
    }
    // Through the master this sets the slave's line: no echo, no line editing, so
    // the host never reads back its own bytes before the program has opened the slave.
    if (!tty::MakeRaw(master_, kWakeBaud)) {
      SetError(Errno("raw mode on the pty"));
      CloseAll();
      return false;
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0 ||
        pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0) {
      SetError(Errno("pty setup"));
      CloseAll();
      return false;
    }
    program_baud_ = kWakeBaud;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
  }

  void Stop() {
    if (thread_.joinable()) {
      Post([this] { stop_ = true; });
      thread_.join();
    }
    CloseAll();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!link_path_.empty()) {
      struct stat st {};
      if (lstat(link_path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(link_path_.c_str());
      link_path_.clear();
    }
  }

  bool LinkAt(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slave_path_.empty()) {
      error_ = "the pty is not open";
      return false;
    }
    struct stat st {};
    // Replace an old link of ours, never a real file or device.
    if (lstat(path.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        error_ = path + " exists and is not a symbolic link";
        return false;
      }
      ::unlink(path.c_str());
    }
    if (symlink(slave_path_.c_str(), path.c_str()) != 0) {
      error_ = Errno(("symlink " + path).c_str());
      return false;
    }
    link_path_ = path;
    return true;
  }

  std::string slave_path() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return slave_path_;
  }
  std::string error() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
  }
  int32_t program_baud() const { return program_baud_.load(); }

  void IgnitionOn(uint32_t after_ms) {
    Post([this, after_ms] {
      AtUs(NowUs() + uint64_t{after_ms} * 1000, [this] { ecu_->IgnitionOn(); });
    });
  }
  void IgnitionOff() {
    Post([this] { ecu_->IgnitionOff(); });
  }
  void Hangup() {
    Post([this] {
      // The program's next read of the slave gives 0 bytes and its writes EIO.
      CloseFd(master_);
      CloseFd(slave_);
    });
  }

  // EcuScheduler, on the host thread.
  uint64_t NowUs() override {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now() - epoch_)
                                     .count());
  }
  void AtUs(uint64_t when_us, std::function<void()> fn) override {
    events_.emplace(std::make_pair(when_us, sequence_++), std::move(fn));
  }

  // WireListener, on the host thread: a byte is due at the program's end now.
  void OnWire(uint64_t, uint64_t, bool, uint8_t, int32_t) override {}
  void OnArrival(uint8_t byte, int32_t baud) override {
    if (master_ < 0) return;
    RefreshRate();
    if (!SameLineRate(baud, program_baud_)) return;  // framing errors on the program's side
    ssize_t n;
    do n = ::write(master_, &byte, 1);
    while (n < 0 && errno == EINTR);
    // A full slave input queue (the program reads nothing) drops the byte, as an overrun would.
  }

 private:
  void SetError(std::string e) {
    std::lock_guard<std::mutex> lock(mutex_);
    error_ = std::move(e);
  }

  void CloseAll() {
    CloseFd(master_);
    CloseFd(slave_);
    CloseFd(wake_[0]);
    CloseFd(wake_[1]);
  }

  void Post(std::function<void()> fn) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      commands_.push_back(std::move(fn));
    }
    if (wake_[1] >= 0) {
      const char c = 1;
      (void)!::write(wake_[1], &c, 1);
    }
  }

  void RunCommands() {
    char drain[64];
    while (::read(wake_[0], drain, sizeof drain) > 0) {
    }
    std::deque<std::function<void()>> todo;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      todo.swap(commands_);
    }
    for (auto& fn : todo) fn();
  }

  void RefreshRate() {
    if (master_ < 0) return;
    if (std::optional<int32_t> rate = tty::ReadRate(master_)) program_baud_ = *rate;
  }

  void ReadProgram() {
    uint8_t bytes[256];
    ssize_t n;
    do n = ::read(master_, bytes, sizeof bytes);
    while (n < 0 && errno == EINTR);
    if (n <= 0) {
      // EIO while no program holds the slave is not expected (we hold it); anything
      // else than "nothing yet" means the pty is unusable: stop watching it.
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      CloseFd(master_);
      CloseFd(slave_);
      return;
    }
    RefreshRate();
    for (ssize_t i = 0; i < n; ++i) ecu_->ProgramSends(bytes[i], program_baud_);
  }

  void RunDue() {
    // Events may add events; take them one at a time in time order.
    while (!events_.empty() && events_.begin()->first.first <= NowUs()) {
      auto node = events_.extract(events_.begin());
      node.mapped()();
    }
  }

  void Run() {
    while (!stop_) {
      const uint64_t now = NowUs();
      uint64_t wait_us = kRateRefreshUs;
      if (!events_.empty()) {
        const uint64_t due = events_.begin()->first.first;
        wait_us = due > now ? std::min(due - now, wait_us) : 0;
      }
      pollfd fds[2] = {{wake_[0], POLLIN, 0}, {master_, POLLIN, 0}};
      const nfds_t count = master_ >= 0 ? 2 : 1;
      // Sleeps to the next absolute deadline, recomputed every turn, so pacing does not drift.
      const timespec timeout{static_cast<time_t>(wait_us / 1'000'000),
                             static_cast<long>(wait_us % 1'000'000) * 1000};
      const int ready = ppoll(fds, count, &timeout, nullptr);
      if (ready < 0 && errno != EINTR) break;
      if (ready > 0 && (fds[0].revents & POLLIN)) RunCommands();
      if (stop_) break;
      if (ready > 0 && count == 2 && master_ >= 0) {
        if (fds[1].revents & POLLIN) {
          ReadProgram();
        } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
          // Nothing to read and nothing will come; without this the poll would not sleep.
          CloseFd(master_);
          CloseFd(slave_);
        }
      }
      RefreshRate();
      RunDue();
    }
  }

  const std::chrono::steady_clock::time_point epoch_;
  std::unique_ptr<SimulatedEcu> ecu_;

  mutable std::mutex mutex_;  // guards the texts and the command queue
  std::string slave_path_;
  std::string link_path_;
  std::string error_;
  std::deque<std::function<void()>> commands_;

  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int32_t> program_baud_{kWakeBaud};
  int master_ = -1;
  int slave_ = -1;  // kept open so reads on the master never fail with EIO
  int wake_[2] = {-1, -1};

  // Host thread only.
  std::map<std::pair<uint64_t, uint64_t>, std::function<void()>> events_;
  uint64_t sequence_ = 0;
};

PtyHost::PtyHost(EcuScenario scenario)
    : PtyHost(EcuFactory([scenario = std::move(scenario)](EcuScheduler& s, WireListener& l) {
        return std::make_unique<EcuModel>(scenario, s, l);
      })) {}
PtyHost::PtyHost(const EcuFactory& ecu) : impl_(std::make_unique<Impl>(ecu)) {}
PtyHost::~PtyHost() = default;
bool PtyHost::Start() { return impl_->Start(); }
void PtyHost::Stop() { impl_->Stop(); }
std::string PtyHost::slave_path() const { return impl_->slave_path(); }
bool PtyHost::LinkAt(const std::string& path) { return impl_->LinkAt(path); }
std::string PtyHost::error() const { return impl_->error(); }
void PtyHost::IgnitionOn(uint32_t after_ms) { impl_->IgnitionOn(after_ms); }
void PtyHost::IgnitionOff() { impl_->IgnitionOff(); }
void PtyHost::Hangup() { impl_->Hangup(); }
int32_t PtyHost::program_baud() const { return impl_->program_baud(); }

}  // namespace velarin

#else  // _WIN32

namespace velarin {

class PtyHost::Impl {};

PtyHost::PtyHost(EcuScenario) {}
PtyHost::PtyHost(const EcuFactory&) {}
PtyHost::~PtyHost() = default;
bool PtyHost::Start() { return false; }
void PtyHost::Stop() {}
std::string PtyHost::slave_path() const { return {}; }
bool PtyHost::LinkAt(const std::string&) { return false; }
std::string PtyHost::error() const { return "pseudo-terminals are not available on Windows"; }
void PtyHost::IgnitionOn(uint32_t) {}
void PtyHost::IgnitionOff() {}
void PtyHost::Hangup() {}
int32_t PtyHost::program_baud() const { return 0; }

}  // namespace velarin

#endif  // _WIN32
