#pragma once
// Opens a recording for the chart. A file that is not one of ours (binary, empty,
// another header) is refused with one message and loads nothing; in one of ours,
// a row that cannot be read (wrong field count, a field that is not a number, a
// time that runs backwards, a line longer than any row of ours) is counted and
// skipped. Memory stays bounded: a line is never held past kMaxLineBytes and at
// most kMaxRows rows are kept.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

#include "recording/live_series.h"

namespace velarin::recording {

inline constexpr size_t kMaxLineBytes = 4096;  // a row of ours is under 100
inline constexpr size_t kMaxRows = 500'000;    // 18 hours at 7.7 frames per second
// A later t_ms (a year) is no recording of ours; it would overflow the time axis' arithmetic.
inline constexpr int64_t kMaxTimeMs = 366LL * 24 * 3600 * 1000;

struct RecordingRead {
  bool ok = false;         // false: not a recording; `message` says why, nothing was loaded
  std::string message;     // the one line for the user, also when ok
  size_t rows = 0;         // rows loaded
  size_t skipped = 0;      // rows that could not be read
  bool truncated = false;  // stopped at kMaxRows
};

// Replaces `out`'s rows with the recording's (RFC 4180, CRLF or LF line ends).
RecordingRead ReadRecording(std::istream& in, LiveSeries& out);
RecordingRead ReadRecordingFile(const std::string& path, LiveSeries& out);

}  // namespace velarin::recording
