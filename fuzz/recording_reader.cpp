// A recording (the CLI's CSV) opened for the chart, over any bytes: one message
// line either way; a refused file loads nothing; a loaded one holds as many rows
// as it says, in time order within a year, each value a number or no value; and
// the chart's trace of any column over the whole span comes back in time order.
//
// Input: byte 0 picks the column and the number of slices of the trace, the rest
// is the file.

#include "recording/recording_reader.h"

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "recording/live_series.h"
#include "support/fuzz_check.h"

namespace rec = velarin::recording;
using velarin::fuzz::Printable;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int column = data[0] % rec::kValueColumns;
  const int buckets = 1 + (data[0] >> 4) * 37;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  rec::LiveSeries series(1, 1);
  const rec::RecordingRead read = rec::ReadRecording(in, series);
  FUZZ_CHECK(!read.message.empty() && read.message.find_first_of("\r\n") == std::string::npos,
             "not one message line: \"" + Printable(read.message) + "\"");
  if (!read.ok) {
    FUZZ_CHECK(series.empty() && read.rows == 0, "a refused file loaded rows");
    return 0;
  }
  FUZZ_CHECK(read.rows == series.size() && read.rows <= rec::kMaxRows,
             std::to_string(read.rows) + " rows read, " + std::to_string(series.size()) + " held");
  for (size_t i = 0; i < series.size(); ++i) {
    const rec::Sample& s = series.at(i);
    FUZZ_CHECK(s.t_ms >= 0 && s.t_ms <= rec::kMaxTimeMs, "time " + std::to_string(s.t_ms));
    FUZZ_CHECK(i == 0 || series.at(i - 1).t_ms <= s.t_ms, "rows out of time order");
    for (float v : s.values) FUZZ_CHECK(!std::isinf(v), "an infinite value");
  }
  if (series.empty()) return 0;
  std::vector<rec::TracePoint> trace;
  series.Trace(column, series.at(0).t_ms, series.back().t_ms, buckets, &trace);
  for (size_t i = 1; i < trace.size(); ++i) {
    FUZZ_CHECK(trace[i - 1].t_ms <= trace[i].t_ms, "trace out of time order");
  }
  return 0;
}
