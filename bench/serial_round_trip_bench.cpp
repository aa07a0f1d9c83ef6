// Cost of one request/answer exchange through the real POSIX back end over a
// pseudo-terminal whose far end echoes the request and adds one answer byte.
// A pty has no line timing, so this is the back end's own overhead per AskByte.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <thread>

#include "platform/posix_serial_device.h"

namespace velarin {
namespace {

// Echoes every byte it receives followed by its complement, until stopped.
class EchoingFarEnd {
 public:
  EchoingFarEnd() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    path_ = name;
    thread_ = std::thread([this] { Run(); });
  }
  ~EchoingFarEnd() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }
  const std::string& path() const { return path_; }

 private:
  void Run() {
    uint8_t buf[256];
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) continue;
      for (ssize_t i = 0; i < n; ++i) {
        uint8_t reply[2] = {buf[i], static_cast<uint8_t>(~buf[i])};
        (void)!write(master_, reply, 2);
      }
    }
  }

  int master_ = -1;
  int slave_ = -1;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void BM_RequestAnswerOverPty(benchmark::State& state) {
  EchoingFarEnd far_end;
  PosixSerialDevice device;
  if (far_end.path().empty() || !device.Open(far_end.path())) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  uint8_t code = 0x17;
  for (auto _ : state) {
    device.ReadAll();
    device.WriteByte(code);
    // Polls BytesWaiting without the exchange's sleeps, to see the back end alone.
    while (device.BytesWaiting() < 2) {
      if (!device.IsOpen()) {
        state.SkipWithError(device.LastError().c_str());
        return;
      }
    }
    benchmark::DoNotOptimize(device.ReadAll());
  }
}
BENCHMARK(BM_RequestAnswerOverPty)->Unit(benchmark::kMicrosecond);

void BM_BytesWaitingIdle(benchmark::State& state) {
  EchoingFarEnd far_end;
  PosixSerialDevice device;
  if (far_end.path().empty() || !device.Open(far_end.path())) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(device.BytesWaiting());
}
BENCHMARK(BM_BytesWaitingIdle);

}  // namespace
}  // namespace velarin
