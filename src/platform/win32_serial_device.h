#pragma once
// The Win32 serial back end: a COM port handle opened without sharing (Windows
// refuses a second opener by itself), 8N1 through the DCB, any integer rate in
// DCB.BaudRate, reads that return at once, 1 ms sleeps while open. "COM12" and
// other bare device names are opened as "\\.\COM12". Not thread-safe: one
// thread drives it.

#ifdef _WIN32

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fine_sleep.h"
#include "platform/serial_device.h"

namespace velarin {

class Win32SerialDevice : public SerialDevice {
 public:
  // Longest WriteByte waits for the driver to take the byte.
  static constexpr unsigned long kWriteTimeoutMs = 500;

  Win32SerialDevice() = default;
  ~Win32SerialDevice() override;
  Win32SerialDevice(const Win32SerialDevice&) = delete;
  Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

  bool Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return handle_ != nullptr; }
  bool Vanished() const override { return vanished_; }

  std::optional<int32_t> ReadBaud() override;
  bool WriteBaud(int32_t baud) override;

  int BytesWaiting() override;
  std::vector<uint8_t> ReadAll() override;
  bool WriteByte(uint8_t byte) override;
  // Asks the driver too: a byte counts once it was received, read or not.
  bool DataArrived() const override;

  std::string LastError() const override { return last_error_; }

  // The open port's HANDLE, nullptr when closed.
  void* handle() const { return handle_; }

 private:
  // Sets LastError from a GetLastError() code; marks the port gone when the code says so.
  void Fail(unsigned long code);
  void MarkVanished();

  void* handle_ = nullptr;  // a HANDLE; nullptr when closed
  std::string path_;
  bool vanished_ = false;
  mutable bool data_arrived_ = false;
  std::string last_error_;
  std::unique_ptr<FineSleep> fine_sleep_;  // held while open
};

}  // namespace velarin

#endif  // _WIN32
