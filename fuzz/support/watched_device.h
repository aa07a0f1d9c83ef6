#pragma once
// A SerialDevice in front of the simulated line's that watches how the program
// uses the port: every byte written goes past a callback first (may it be sent
// now?), and every wait -- a run of polls of the byte count with no write, read,
// open, close or yield between -- is measured on the clock.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_device.h"

namespace velarin::fuzz {

// One wait: the clock at its first and its last poll, and the byte written last
// before it (none before the first write since the port opened).
struct WaitSpan {
  uint32_t first_ms;
  uint32_t last_ms;
  std::optional<uint8_t> after_byte;
};

class WatchedDevice : public SerialDevice {
 public:
  WatchedDevice(SerialDevice& inner, Clock& clock) : inner_(inner), clock_(clock) {}

  std::function<void(uint8_t)> on_write;         // before the byte reaches the line
  std::function<void(const WaitSpan&)> on_wait;  // when a wait has ended
  // Ends the wait in progress (a yield to the window ends it too).
  void EndWait();

  bool Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override;
  bool Vanished() const override { return inner_.Vanished(); }
  std::optional<int32_t> ReadBaud() override { return inner_.ReadBaud(); }
  bool WriteBaud(int32_t baud) override { return inner_.WriteBaud(baud); }
  int BytesWaiting() override;
  std::vector<uint8_t> ReadAll() override;
  bool WriteByte(uint8_t byte) override;
  bool DataArrived() const override { return inner_.DataArrived(); }
  std::string LastError() const override { return inner_.LastError(); }

 private:
  SerialDevice& inner_;
  Clock& clock_;
  // A wait on a port that closed under it polls IsOpen() alone; it goes on then.
  mutable bool waiting_ = false;
  mutable uint32_t first_ms_ = 0;
  mutable uint32_t last_ms_ = 0;
  std::optional<uint8_t> last_written_;
};

}  // namespace velarin::fuzz
