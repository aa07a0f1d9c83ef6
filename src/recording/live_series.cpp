#include "recording/live_series.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace velarin::recording {

bool ParseReadout(std::string_view text, float* value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.find_first_not_of('-') == std::string_view::npos) {
    *value = kNoValue;
    return true;
  }
  if (text.size() > 32) return false;
  // The readouts follow the system's decimal separator: a comma reads as a point.
  std::string number(text);
  std::replace(number.begin(), number.end(), ',', '.');
  double parsed = 0;
  const char* last = number.data() + number.size();
  auto [end, ec] = std::from_chars(number.data(), last, parsed);
  if (ec != std::errc() || end != last || !std::isfinite(parsed)) return false;
  *value = static_cast<float>(parsed);
  return std::isfinite(*value);
}

Sample SampleFromReadouts(int64_t t_ms, const std::array<std::string_view, kValueColumns>& texts) {
  Sample s;
  s.t_ms = t_ms;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!ParseReadout(texts[i], &s.values[i])) s.values[i] = kNoValue;
  }
  return s;
}

LiveSeries::LiveSeries(int64_t keep_ms, size_t max_rows)
    : keep_ms_(keep_ms), max_rows_(std::max<size_t>(max_rows, 1)) {}

bool LiveSeries::Append(const Sample& sample) {
  if (sample.t_ms < 0 || (count_ > 0 && sample.t_ms < back().t_ms)) return false;
  if (count_ < ring_.size()) {
    ring_[(head_ + count_) % ring_.size()] = sample;
    ++count_;
  } else if (ring_.size() < max_rows_) {
    // Full but allowed to grow: straighten the ring, then grow it.
    std::rotate(ring_.begin(), ring_.begin() + static_cast<std::ptrdiff_t>(head_), ring_.end());
    head_ = 0;
    ring_.push_back(sample);
    ++count_;
  } else {
    ring_[head_] = sample;  // the oldest row makes room
    head_ = (head_ + 1) % ring_.size();
  }
  while (count_ > 1 && sample.t_ms - at(0).t_ms > keep_ms_) {
    head_ = (head_ + 1) % ring_.size();
    --count_;
  }
  for (size_t i = 0; i < has_values_.size(); ++i) {
    if (!std::isnan(sample.values[i])) has_values_[i] = true;
  }
  ++version_;
  return true;
}

void LiveSeries::Clear() {
  ring_.clear();
  head_ = 0;
  count_ = 0;
  has_values_.fill(false);
  ++version_;
}

size_t LiveSeries::FirstAtOrAfter(int64_t t_ms) const {
  size_t lo = 0, hi = count_;
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (at(mid).t_ms < t_ms) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

void LiveSeries::Trace(int column, int64_t from_ms, int64_t to_ms, int buckets,
                       std::vector<TracePoint>* out) const {
  out->clear();
  if (count_ == 0 || to_ms <= from_ms || buckets <= 0 || column < 0 || column >= kValueColumns)
    return;
  const auto c = static_cast<size_t>(column);
  size_t i = FirstAtOrAfter(from_ms);
  // The last number before the range, so the line enters from the left edge.
  for (size_t k = i; k-- > 0;) {
    if (!std::isnan(at(k).values[c])) {
      out->push_back({at(k).t_ms, at(k).values[c]});
      break;
    }
  }
  const double span = static_cast<double>(to_ms - from_ms);
  int bucket = -1;
  TracePoint low{}, high{};
  auto flush = [&] {
    if (bucket < 0) return;
    if (low.t_ms == high.t_ms) {
      out->push_back(low);
    } else if (low.t_ms < high.t_ms) {
      out->push_back(low);
      out->push_back(high);
    } else {
      out->push_back(high);
      out->push_back(low);
    }
  };
  for (; i < count_ && at(i).t_ms <= to_ms; ++i) {
    const Sample& s = at(i);
    const float v = s.values[c];
    if (std::isnan(v)) continue;
    const int b = std::min(
        buckets - 1, static_cast<int>(static_cast<double>(s.t_ms - from_ms) * buckets / span));
    if (b != bucket) {
      flush();
      bucket = b;
      low = high = {s.t_ms, v};
    } else {
      if (v < low.value) low = {s.t_ms, v};
      if (v > high.value) high = {s.t_ms, v};
    }
  }
  flush();
  // And the first number after it, so the line leaves at the right edge.
  for (; i < count_; ++i) {
    if (!std::isnan(at(i).values[c])) {
      out->push_back({at(i).t_ms, at(i).values[c]});
      break;
    }
  }
}

}  // namespace velarin::recording
