#pragma once
// A SerialDevice that records everything passing through it: every byte sent,
// every byte received with the moment the program first saw it, the rates the
// driver reports after each change, and the port's open, close and loss. The
// procedures above it do not know it is there. A capture that fails to write
// (full disk) stops with a status line; the bytes keep passing through.
//
// Received bytes are taken from the driver as soon as the program asks how many
// are waiting, and held for its next ReadAll: so each is stamped when it was
// first seen, not when it was read, and the rows stay in time order.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture_writer.h"
#include "platform/serial_device.h"

namespace velarin {

class CapturingSerialDevice : public SerialDevice {
 public:
  // Most received bytes held between the program's reads, far above any
  // driver's buffer; beyond it bytes are dropped as an overrun would.
  static constexpr size_t kMaxHeld = 64 * 1024;

  // `now_us`: a monotonic microsecond clock (MonotonicMicros, or the virtual clock's).
  CapturingSerialDevice(SerialDevice& inner, std::function<uint64_t()> now_us);
  ~CapturingSerialDevice() override;

  // Starts a capture into `writer`, ending one in progress. While the port is
  // open the capture starts with its open row at the rate in force.
  void StartCapture(std::unique_ptr<CaptureWriter> writer);
  // Writes the end row and closes the file; a no-op when not capturing.
  void StopCapture();
  bool capturing() const { return writer_ != nullptr && !writer_->stopped(); }
  // A "= key value" row in the capture in progress (the family the user chose).
  void AddNote(const std::string& key, const std::string& value);
  // For the status line: "capture stopped: <reason>" once writing failed, else "".
  std::string CaptureStatus() const { return status_; }

  bool Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return inner_.IsOpen(); }
  bool Vanished() const override { return inner_.Vanished(); }
  std::optional<int32_t> ReadBaud() override { return inner_.ReadBaud(); }
  bool WriteBaud(int32_t baud) override;
  int BytesWaiting() override;
  std::vector<uint8_t> ReadAll() override;
  bool WriteByte(uint8_t byte) override;
  bool DataArrived() const override { return !held_.empty() || inner_.DataArrived(); }
  LatencyMode ReadLatencyMode() override { return inner_.ReadLatencyMode(); }
  std::string LastError() const override { return inner_.LastError(); }

 private:
  void Record(CaptureEvent event);
  // Records the loss of the device once, after any call that may have found it.
  void CheckGone();
  // Takes whatever the driver holds into held_, recording it.
  void TakeFromDriver();

  SerialDevice& inner_;
  std::function<uint64_t()> now_us_;
  std::unique_ptr<CaptureWriter> writer_;
  uint64_t start_us_ = 0;
  std::string status_;
  std::string path_;
  bool gone_recorded_ = false;
  std::vector<uint8_t> held_;
};

}  // namespace velarin
