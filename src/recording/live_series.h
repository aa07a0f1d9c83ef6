#pragma once
// The chart's data: rows of the ten readouts by time since Connect, kept for a
// span of time in a ring (live data) or all of them up to a count (a recording
// opened from file). A readout that was empty or held no number is NaN.
// Single-threaded: the window's thread appends and draws.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "recording/recording_columns.h"

namespace velarin::recording {

inline constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

struct Sample {
  int64_t t_ms = 0;
  std::array<float, kValueColumns> values{};
};

struct TracePoint {
  int64_t t_ms;
  float value;
};

// A readout's text as a number: "3250", "12.5", "12,5" (a comma separator), ".5",
// "12."; *value is NaN for an empty readout and for " ----" (no engine speed).
// False for anything else.
bool ParseReadout(std::string_view text, float* value);

// The row's readouts as a sample; NaN where a text is not a number.
Sample SampleFromReadouts(int64_t t_ms, const std::array<std::string_view, kValueColumns>& texts);

class LiveSeries {
 public:
  // Keeps the rows within `keep_ms` of the newest one, and at most `max_rows`.
  LiveSeries(int64_t keep_ms, size_t max_rows);

  // False, and nothing kept, for a row older than the newest or before Connect (t_ms < 0).
  bool Append(const Sample& sample);
  void Clear();

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const Sample& at(size_t i) const { return ring_[(head_ + i) % ring_.size()]; }
  const Sample& back() const { return at(count_ - 1); }
  // Changes with every Append and Clear: a drawing that saw this value is current.
  uint64_t version() const { return version_; }
  // True once the column had a number since the last Clear.
  bool HasValues(int column) const { return has_values_[static_cast<size_t>(column)]; }

  // The column's values in [from_ms, to_ms] reduced to the lowest and highest of
  // each of `buckets` equal slices of time (in time order, so peaks survive), plus
  // the neighbours just outside the range so that the line reaches its edges.
  void Trace(int column, int64_t from_ms, int64_t to_ms, int buckets,
             std::vector<TracePoint>* out) const;

 private:
  size_t FirstAtOrAfter(int64_t t_ms) const;

  int64_t keep_ms_;
  size_t max_rows_;
  std::vector<Sample> ring_;
  size_t head_ = 0;
  size_t count_ = 0;
  uint64_t version_ = 0;
  std::array<bool, kValueColumns> has_values_{};
};

}  // namespace velarin::recording
