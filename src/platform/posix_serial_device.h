#pragma once
// The POSIX serial back end: a non-blocking tty file descriptor held exclusively
// (flock plus TIOCEXCL), raw 8N1, any integer rate. A device that goes away
// while open (EIO/ENXIO/ENODEV, or a hang-up) closes itself and reports
// Vanished(). Not thread-safe: one thread drives it.

#ifndef _WIN32

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace velarin {

class PosixSerialDevice : public SerialDevice {
 public:
  // Longest WriteByte waits for room in a full output queue before giving up.
  static constexpr int kWriteReadyTimeoutMs = 500;
  // Most one ReadAll takes; far above any driver's receive buffer.
  static constexpr size_t kMaxReadAll = 64 * 1024;

  PosixSerialDevice() = default;
  ~PosixSerialDevice() override;
  PosixSerialDevice(const PosixSerialDevice&) = delete;
  PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

  bool Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }
  bool Vanished() const override { return vanished_; }

  std::optional<int32_t> ReadBaud() override;
  bool WriteBaud(int32_t baud) override;

  int BytesWaiting() override;
  std::vector<uint8_t> ReadAll() override;
  bool WriteByte(uint8_t byte) override;
  // Asks the driver too: a byte counts once it was received, read or not.
  bool DataArrived() const override;

  // The USB latency timer from sysfs when the driver has one, else the
  // ASYNC_LOW_LATENCY flag; unknown on a pty.
  LatencyMode ReadLatencyMode() override;

  std::string LastError() const override { return last_error_; }

  // The open descriptor, -1 when closed.
  int fd() const { return fd_; }

 private:
  // Sets LastError from `err`; marks the port gone when `err` says the device left.
  void Fail(int err);
  void MarkVanished();
  // True when poll() reports a hang-up or error on the descriptor (timeout 0).
  bool HungUp(bool* readable);
  void CloseFd();

  int fd_ = -1;
  std::string path_;
  bool vanished_ = false;
  mutable bool data_arrived_ = false;
  std::string last_error_;
};

}  // namespace velarin

#endif  // _WIN32
