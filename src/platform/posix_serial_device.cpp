#ifndef _WIN32

#include "platform/posix_serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/serial_errors.h"
#include "platform/tty_settings.h"

namespace velarin {
namespace {

constexpr int32_t kOpenBaud = 1200;

std::string Reason(int err) { return std::generic_category().message(err); }

// The errors a tty gives once its device has been unplugged or hung up.
bool DeviceGone(int err) { return err == EIO || err == ENXIO || err == ENODEV; }

int IoctlRetry(int fd, unsigned long request, void* arg) {
  int r;
  do r = ioctl(fd, request, arg);
  while (r < 0 && errno == EINTR);
  return r;
}

OpenFailure KindOfOpenError(int err) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::kNoSuchDevice;
    case EACCES:
    case EPERM:
      return OpenFailure::kPermission;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenFailure::kInUse;
    case ENOTTY:
    case EINVAL:
      return OpenFailure::kNotASerialPort;
    default:
      return OpenFailure::kOther;
  }
}

#ifdef __linux__
// ftdi_sio and friends hold received bytes up to 16 ms unless asked for low latency;
// a driver that does not know the request (a pty) or refuses it costs us nothing.
void RequestLowLatency(int fd) {
  serial_struct ss{};
  if (IoctlRetry(fd, TIOCGSERIAL, &ss) != 0) return;
  if ((ss.flags & ASYNC_LOW_LATENCY) != 0) return;
  ss.flags |= ASYNC_LOW_LATENCY;
  (void)IoctlRetry(fd, TIOCSSERIAL, &ss);
}
#endif

}  // namespace

PosixSerialDevice::~PosixSerialDevice() { Close(); }

bool PosixSerialDevice::Open(const std::string& path) {
  Close();
  path_ = path;
  vanished_ = false;
  data_arrived_ = false;
  last_error_.clear();

  int fd;
  do fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    int err = errno;
    last_error_ = OpenErrorText(KindOfOpenError(err), path, Reason(err));
    return false;
  }
  auto fail = [&](int err, OpenFailure kind) {
    last_error_ = OpenErrorText(kind, path, Reason(err));
    ::close(fd);  // closing drops the lock as well
    return false;
  };

  // flock refuses a second opener even for root; TIOCEXCL only refuses ordinary users.
  int r;
  do r = flock(fd, LOCK_EX | LOCK_NB);
  while (r < 0 && errno == EINTR);
  // Any other flock failure (no lock support on that node) leaves TIOCEXCL as the guard.
  if (r < 0 && errno == EWOULDBLOCK) return fail(errno, OpenFailure::kInUse);
  if (IoctlRetry(fd, TIOCEXCL, nullptr) != 0) return fail(errno, KindOfOpenError(errno));

  if (!tty::MakeRaw(fd, kOpenBaud)) return fail(errno, KindOfOpenError(errno));

  int lines = TIOCM_DTR | TIOCM_RTS;
  if (IoctlRetry(fd, TIOCMBIS, &lines) != 0 && errno != ENOTTY && errno != EINVAL) {
    return fail(errno, OpenFailure::kOther);
  }
#ifdef __linux__
  RequestLowLatency(fd);
#endif
  int flushed;
  do flushed = tcflush(fd, TCIFLUSH);
  while (flushed < 0 && errno == EINTR);
  if (flushed != 0) return fail(errno, OpenFailure::kOther);

  fd_ = fd;
  return true;
}

void PosixSerialDevice::CloseFd() {
  if (fd_ < 0) return;
  // The exclusive flag would otherwise outlive us on a tty another process keeps open.
  (void)ioctl(fd_, TIOCNXCL);
  (void)flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

void PosixSerialDevice::Close() { CloseFd(); }

void PosixSerialDevice::MarkVanished() {
  CloseFd();
  vanished_ = true;
  last_error_ = WentAwayText(path_);
}

void PosixSerialDevice::Fail(int err) {
  if (DeviceGone(err)) {
    MarkVanished();
    return;
  }
  last_error_ = path_ + ": " + Reason(err);
}

bool PosixSerialDevice::HungUp(bool* readable) {
  pollfd p{fd_, POLLIN, 0};
  int r;
  do r = poll(&p, 1, 0);
  while (r < 0 && errno == EINTR);
  if (r <= 0) return false;
  if (readable != nullptr) *readable = (p.revents & POLLIN) != 0;
  return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

std::optional<int32_t> PosixSerialDevice::ReadBaud() {
  if (fd_ < 0) {
    last_error_ = serial_texts::kNotOpen;
    return std::nullopt;
  }
  std::optional<int32_t> rate = tty::ReadRate(fd_);
  if (!rate) Fail(errno);
  return rate;
}

bool PosixSerialDevice::WriteBaud(int32_t baud) {
  if (fd_ < 0) {
    last_error_ = serial_texts::kNotOpen;
    return false;
  }
  if (baud <= 0) {
    last_error_ = std::string(serial_texts::kInvalidBaud) + std::to_string(baud);
    return false;
  }
  if (tty::WriteRate(fd_, baud)) return true;
  Fail(errno);
  return false;
}

bool PosixSerialDevice::DataArrived() const {
  int count = 0;
  if (!data_arrived_ && fd_ >= 0 && ::ioctl(fd_, FIONREAD, &count) == 0 && count > 0)
    data_arrived_ = true;
  return data_arrived_;
}

int PosixSerialDevice::BytesWaiting() {
  if (fd_ < 0) return 0;
  int count = 0;
  if (IoctlRetry(fd_, FIONREAD, &count) != 0) {
    Fail(errno);
    return 0;
  }
  if (count > 0) {
    data_arrived_ = true;
    return count;
  }
  // A hung-up tty may still answer FIONREAD with 0; poll tells it apart.
  if (HungUp(nullptr)) MarkVanished();
  return 0;
}

std::vector<uint8_t> PosixSerialDevice::ReadAll() {
  std::vector<uint8_t> out;
  if (fd_ < 0) return out;
  uint8_t buf[1024];
  bool readable_but_empty = false;
  while (out.size() < kMaxReadAll) {
    size_t want = std::min(sizeof buf, kMaxReadAll - out.size());
    ssize_t r = ::read(fd_, buf, want);
    if (r > 0) {
      out.insert(out.end(), buf, buf + r);
      continue;
    }
    if (r < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) Fail(errno);
      break;
    }
    // With VMIN 0 a read of 0 means either "nothing waiting" or "hung up".
    if (!out.empty()) break;
    bool readable = false;
    if (HungUp(&readable)) {
      MarkVanished();
      break;
    }
    if (!readable) break;
    // Readable yet empty twice running is a hang-up; once may be a byte racing the poll.
    if (readable_but_empty) {
      MarkVanished();
      break;
    }
    readable_but_empty = true;
  }
  if (!out.empty()) data_arrived_ = true;
  return out;
}

bool PosixSerialDevice::WriteByte(uint8_t byte) {
  if (fd_ < 0) {
    last_error_ = serial_texts::kNotOpen;
    return false;
  }
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() + std::chrono::milliseconds(kWriteReadyTimeoutMs);
  bool poll_said_ready = false;
  for (;;) {
    ssize_t r = ::write(fd_, &byte, 1);
    if (r == 1) return true;
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      Fail(errno);
      return false;
    }
    // The output queue is full: wait for room, within the bound.
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
    if (left.count() <= 0) {
      last_error_ = serial_texts::kWriteTimedOut;
      return false;
    }
    // A driver that reports room and then refuses again must not make us spin.
    if (poll_said_ready) (void)poll(nullptr, 0, 1);
    pollfd p{fd_, POLLOUT, 0};
    int ready = poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0) {
      poll_said_ready = false;
      if (errno == EINTR) continue;
      Fail(errno);
      return false;
    }
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      MarkVanished();
      return false;
    }
    poll_said_ready = ready > 0;
  }
}

LatencyMode PosixSerialDevice::ReadLatencyMode() {
  LatencyMode mode;
  if (fd_ < 0) return mode;
#ifdef __linux__
  // A /dev/serial/by-id/... link names the same device as /dev/ttyUSB0.
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(path_, ec);
  // Only a device directly under /dev has a sysfs name (a pseudo-terminal's /dev/pts/3 has none).
  if (!ec && real.parent_path() == "/dev") mode.tty = real.filename().string();
  if (!mode.tty.empty()) {
    std::ifstream timer("/sys/bus/usb-serial/devices/" + mode.tty + "/latency_timer");
    int ms = 0;
    if (timer >> ms) mode.timer_ms = ms;
  }
  // The timer is what delays the bytes; the flag only asks ftdi_sio to set it to 1 ms.
  if (mode.timer_ms.has_value()) {
    mode.low_latency =
        *mode.timer_ms <= 1 ? LatencyMode::LowLatency::kOn : LatencyMode::LowLatency::kOff;
    return mode;
  }
  serial_struct ss{};
  if (IoctlRetry(fd_, TIOCGSERIAL, &ss) == 0) {
    mode.low_latency = (ss.flags & ASYNC_LOW_LATENCY) != 0 ? LatencyMode::LowLatency::kOn
                                                           : LatencyMode::LowLatency::kOff;
  }
#endif
  return mode;
}

}  // namespace velarin

#endif  // _WIN32
