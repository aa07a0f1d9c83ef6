#include "recording/live_series.h"

#include <gtest/gtest.h>

#include <vector>

namespace velarin::recording {
namespace {

Sample At(int64_t t, float rpm) {
  Sample s;
  s.t_ms = t;
  s.values.fill(kNoValue);
  s.values[0] = rpm;
  return s;
}

TEST(LiveSeriesTest, KeepsTheTimeSpanAndTheRowLimit) {
  LiveSeries by_time(1000, 100);
  for (int64_t t = 0; t <= 3000; t += 100) by_time.Append(At(t, 1));
  EXPECT_EQ(by_time.at(0).t_ms, 2000);
  EXPECT_EQ(by_time.back().t_ms, 3000);
  EXPECT_FALSE(by_time.Append(At(2999, 1)));

  LiveSeries by_count(1'000'000, 4);
  for (int64_t t = 0; t < 10; ++t) by_count.Append(At(t, static_cast<float>(t)));
  ASSERT_EQ(by_count.size(), 4u);
  EXPECT_EQ(by_count.at(0).t_ms, 6);
  EXPECT_EQ(by_count.back().t_ms, 9);
  EXPECT_TRUE(by_count.HasValues(0));
  EXPECT_FALSE(by_count.HasValues(1));
}

TEST(LiveSeriesTest, TraceKeepsEachSlicesExtremesInTimeOrder) {
  LiveSeries s(1'000'000, 1000);
  const float values[] = {5, 9, 1, 5, 5, 7, 2, 5};
  for (int i = 0; i < 8; ++i) s.Append(At(1000 + i * 100, values[i]));
  s.Append(At(1850, kNoValue));
  std::vector<TracePoint> out;
  // Two slices of 200 ms inside [1200, 1600]: (1, 5 | 5, 7, 2 at 1600), with neighbours.
  s.Trace(0, 1200, 1600, 2, &out);
  std::vector<std::pair<int64_t, float>> got;
  for (const TracePoint& p : out) got.emplace_back(p.t_ms, p.value);
  EXPECT_EQ(got, (std::vector<std::pair<int64_t, float>>{
                     {1100, 9}, {1200, 1}, {1300, 5}, {1500, 7}, {1600, 2}, {1700, 5}}));
}

}  // namespace
}  // namespace velarin::recording
