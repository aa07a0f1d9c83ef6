#include "gui/chart/chart_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace velarin::gui {
namespace {

// The smallest of 1, 2, 2.5, 3, 4, 5, 6, 8 times a power of ten that is at least `raw`.
double NiceStep(double raw) {
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double nice : {1.0, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0}) {
    if (raw <= nice * power * (1 + 1e-9)) return nice * power;
  }
  return 10 * power;
}

}  // namespace

ValueRange NiceRange(double min, double max, double min_span, int max_steps) {
  // A span that overflows (values near the double's limits) would never reach a round step.
  if (!std::isfinite(min) || !std::isfinite(max) || max < min || !std::isfinite(max - min)) {
    min = max = 0;
  }
  // Two steps at least: a range across a multiple of any step needs two.
  max_steps = std::max(max_steps, 2);
  const double span = std::max({max - min, min_span, 1e-6});
  if (max - min < span) {  // widen around the middle
    const double mid = (min + max) / 2;
    min = mid - span / 2;
    max = mid + span / 2;
  }
  double step = NiceStep(span / max_steps);
  double low = 0, high = 0;
  // Rounding outwards can add a step: then the next round step up. Ends at the
  // latest when the step reaches the span, which then covers two steps at most.
  for (;;) {
    low = std::floor(min / step) * step;
    high = std::ceil(max / step) * step;
    if ((high - low) / step < max_steps + 0.5) break;
    step = NiceStep(step * 1.01);
  }
  if (high - low < step * 0.5) high = low + step;
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  return {low, high, step, std::min(decimals, 6)};
}

int64_t TimeTickMs(int64_t span_ms) {
  constexpr std::array<int64_t, 14> kSteps = {1000,   2000,    5000,    10000,  15000,
                                              30000,  60000,   120000,  300000, 600000,
                                              900000, 1800000, 3600000, 7200000};
  for (int64_t step : kSteps) {
    if (span_ms / step <= 7) return step;
  }
  return kSteps.back() * (span_ms / kSteps.back() / 7 + 1);
}

std::string TimeLabel(int64_t t_ms) {
  const bool negative = t_ms < 0;
  const int64_t s = (negative ? -t_ms : t_ms) / 1000;
  char text[32];
  if (s >= 3600) {
    std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld", negative ? "-" : "",
                  static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                  static_cast<long long>(s % 60));
  } else {
    std::snprintf(text, sizeof text, "%s%lld:%02lld", negative ? "-" : "",
                  static_cast<long long>(s / 60), static_cast<long long>(s % 60));
  }
  return text;
}

}  // namespace velarin::gui
