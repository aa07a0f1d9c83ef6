#pragma once
// The adapter check, run with the ignition off: is the adapter fit for the
// K-line? It listens that the line is quiet, sends probe bytes at 1200 and at
// 7812 baud and times their echo, reads the rate back after setting 7812, asks
// the driver for its low-latency mode and counts bytes lost or altered. It
// stops at the first byte that is not an echo: an ECU is on and answering.
//
// Front end, in a few lines:
//   AdapterCheckOptions options;
//   options.device_path = path;
//   AdapterCheckResult r = RunAdapterCheck(device, clock, options);
//   for (const std::string& line : AdapterCheckLines(r)) print(line);

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_device.h"

namespace velarin {

struct AdapterCheckOptions {
  // Opened (and closed at the end) when the device is not open yet.
  std::string device_path;
  // A monotonic microsecond clock for the echo delays; empty: the Clock's milliseconds.
  std::function<uint64_t()> now_us;
  int probes_per_rate = 50;
  uint32_t quiet_ms = 500;  // listened to before the first byte goes out
};

// The longest wait for one echo, and the probes without any echo after which a
// rate is given up as "no echo".
inline constexpr uint32_t kEchoTimeoutMs = 250;
inline constexpr int kNoEchoAfter = 5;

enum class CheckVerdict { kOk, kWarn, kFail };

enum class CheckItemId {
  kPort,
  kQuiet,
  kEcho,
  kDelay1200,
  kLineSpeed,
  kDelay7812,
  kLowLatency,
  kLostAltered,
};

struct CheckItem {
  CheckItemId id;
  CheckVerdict verdict;
  std::string value;  // what was measured, as shown
  std::string hint;   // what to do about it; empty when nothing is to be done
};

// The echoes at one rate.
struct EchoStats {
  int32_t rate = 0;
  int sent = 0;
  int echoed = 0;
  int lost = 0;
  int altered = 0;
  std::vector<uint64_t> delays_us;  // from the write to the echo, per echoed byte
  uint64_t median_us() const;
  uint64_t worst_us() const;
};

struct AdapterCheckResult {
  std::vector<CheckItem> items;  // in the order shown
  // Ended early: an unexpected answer (the ignition is on) or the port failed.
  bool stopped = false;
  std::string stop_text;
  EchoStats at_wake;   // 1200 baud
  EchoStats at_kline;  // 7812 baud
  std::optional<int32_t> rate_read_back;
  LatencyMode latency;

  const CheckItem* Find(CheckItemId id) const;
  CheckVerdict Overall() const;  // the worst verdict, kFail when stopped
};

AdapterCheckResult RunAdapterCheck(SerialDevice& device, Clock& clock,
                                   const AdapterCheckOptions& options);

// The result as a person reads it: the probe bytes, one line per item with its
// verdict (hints indented below), and the conclusion.
std::vector<std::string> AdapterCheckLines(const AdapterCheckResult& result);

}  // namespace velarin
