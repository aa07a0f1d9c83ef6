#pragma once
// The serial port as the link needs it: raw 8N1, any integer baud rate, DTR/RTS,
// a count of bytes waiting, read-all, single-byte write, a data-arrived flag.
// Every call is non-blocking. Failures return false and leave LastError() set.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velarin {

// How the driver hands received bytes over. USB bridges hold them until their
// latency timer expires (16 ms by default on FTDI) unless low latency is on.
struct LatencyMode {
  enum class LowLatency { kUnknown, kOn, kOff };
  LowLatency low_latency = LowLatency::kUnknown;
  std::optional<int> timer_ms;  // the bridge's latency timer, where the driver shows it
  std::string tty;              // the kernel's name of the device ("ttyUSB0"), for hints
};

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  // Opens `path` exclusively, raw 8N1 at 1200 baud, DTR and RTS asserted.
  virtual bool Open(const std::string& path) = 0;
  // Closes; a no-op when closed.
  virtual void Close() = 0;
  // False once closed, never opened, or after the device vanished.
  virtual bool IsOpen() const = 0;
  // True when the device went away while open (pulled cable); cleared by Open.
  virtual bool Vanished() const = 0;

  // The rate in force as the driver reports it; nullopt when it cannot be read.
  virtual std::optional<int32_t> ReadBaud() = 0;
  // Hands `baud` to the driver unchanged; false when it refuses.
  virtual bool WriteBaud(int32_t baud) = 0;

  virtual int BytesWaiting() = 0;
  virtual std::vector<uint8_t> ReadAll() = 0;
  virtual bool WriteByte(uint8_t byte) = 0;
  // True once a byte has been received since the last Open.
  virtual bool DataArrived() const = 0;

  // The driver's low-latency state of the open port; kUnknown where the back
  // end cannot tell (pseudo-terminals, Windows).
  virtual LatencyMode ReadLatencyMode() { return {}; }

  // The OS reason of the last failure, for display ("Permission denied ...").
  virtual std::string LastError() const = 0;
};

// The platform's own back end (termios on POSIX, the Win32 comm API on Windows).
std::unique_ptr<SerialDevice> MakePlatformSerialDevice();

// Port number N: "COMN" on Windows, "/dev/ttyUSB{N-1}" elsewhere.
std::string DevicePathForPort(int port_number);

}  // namespace velarin
