#pragma once
// A capture: every byte to and from the adapter with its time, the rates the
// driver reported and the port's open, close and loss, as the serial layer saw
// them. Times are microseconds since the capture started, on a monotonic clock.
// docs/capture-format.md describes the file.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velarin {

// The file format this program writes and the newest it reads.
inline constexpr int kCaptureFormatVersion = 1;

enum class CaptureEventKind {
  kOpen,      // the port opened (at `rate`) on `text`, the device path
  kClose,     // the program closed the port
  kGone,      // the device went away; `text` is the OS reason
  kRate,      // the program set `asked`; `rate` is what the driver reports then
  kRefused,   // the driver refused the rate `asked`; the rate in force is unchanged
  kSent,      // the program wrote `bytes` (one byte)
  kReceived,  // `bytes` arrived, as first seen by the program
};

struct CaptureEvent {
  uint64_t at_us = 0;
  CaptureEventKind kind = CaptureEventKind::kSent;
  std::vector<uint8_t> bytes;
  int32_t asked = 0;
  std::optional<int32_t> rate;  // nullopt: the driver could not report it
  std::string text;
};

// "= key value" rows: what the program that wrote the capture knew about it
// (family, program version). Free text; the reader only keeps them.
using CaptureNotes = std::vector<std::pair<std::string, std::string>>;

struct Capture {
  int version = kCaptureFormatVersion;
  CaptureNotes notes;
  std::vector<CaptureEvent> events;  // in time order

  // The value of the first note `key`, or nullopt.
  std::optional<std::string> Note(const std::string& key) const;
};

}  // namespace velarin
