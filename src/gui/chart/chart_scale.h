#pragma once
// The chart's arithmetic, free of Qt: value ranges on round numbers, the spacing
// of time ticks, and how a time reads.

#include <cstdint>
#include <string>

namespace velarin::gui {

struct ValueRange {
  double low;
  double high;
  double step;   // between ticks; (high - low) / step + 1 ticks
  int decimals;  // enough for the step
  bool operator==(const ValueRange&) const = default;
};

// A range on multiples of a round step (1, 2, 2.5, 3, 4, 5, 6 or 8 times a power
// of ten) that holds [min, max] and spans at least `min_span`, in 1 to `max_steps` steps
// (2 at least: a range across a round number needs two).
ValueRange NiceRange(double min, double max, double min_span, int max_steps);

// Milliseconds between time ticks so that `span_ms` shows about six of them.
int64_t TimeTickMs(int64_t span_ms);

// "m:ss" since Connect, or "h:mm:ss" from an hour on.
std::string TimeLabel(int64_t t_ms);

}  // namespace velarin::gui
