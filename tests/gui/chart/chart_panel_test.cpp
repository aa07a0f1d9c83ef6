#include "gui/chart/chart_panel.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLineSeries>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/chart/chart_lane.h"
#include "gui/chart/chart_scale.h"
#include "recording/recording_writer.h"
#include "support/simulated_readouts.h"

namespace velarin::gui {
namespace {

class ChartPanelTest : public ::testing::Test {
 protected:
  ChartPanelTest()
      : dir_(std::filesystem::temp_directory_path() /
             ("velarin-chart-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_);
    panel_.resize(1100, 760);
    panel_.show();
  }
  ~ChartPanelTest() override { std::filesystem::remove_all(dir_); }

  void Screenshot(const char* name) {
    QApplication::processEvents();
    const QString dir = QStringLiteral(VELARIN_ARTIFACTS_DIR);
    QDir().mkpath(dir);
    EXPECT_TRUE(panel_.grab().save(dir + "/" + name)) << name;
  }

  std::filesystem::path dir_;
  ChartPanel panel_;
};

TEST_F(ChartPanelTest, ShowsARecordingOfTheSimulatedEcuWithEveryChannel) {
  const std::string path = (dir_ / "velarin-15Rc-20240601-090507.csv").string();
  recording::RecordingWriter writer;
  ASSERT_TRUE(writer.Open(path, std::string(recording::kCsvHeader) + "\r\n"));
  testing::RunSimulatedConnection(EcuFamily::Ecu15Rc, 6 * 60 * 1000, [&](int64_t t, auto& texts) {
    std::string row = std::to_string(t);
    for (std::string_view text : texts) row += "," + std::string(text);
    writer.WriteRow(row + "\r\n");
  });
  ASSERT_GT(writer.Close(), 2000u);

  ASSERT_TRUE(panel_.OpenRecording(QString::fromStdString(path)));
  EXPECT_TRUE(panel_.message().endsWith(" rows")) << panel_.message().toStdString();
  EXPECT_EQ(panel_.visible_lanes(), 10);
  for (ChartLane* lane : panel_.lanes()) EXPECT_GT(lane->line()->count(), 100);
  Screenshot("chart_recording.png");

  panel_.SetWindowMinutes(1);
  EXPECT_LE(panel_.lanes()[0]->line()->count(), 2 * panel_.lanes()[0]->PlotWidth() + 2);
  Screenshot("chart_recording_1min.png");
}

TEST_F(ChartPanelTest, LiveRowsAndAFileThatIsNotARecording) {
  std::array<std::string, 10> last;
  testing::RunSimulatedConnection(EcuFamily::Ecu15m, 100 * 1000, [&](int64_t t, auto& texts) {
    panel_.AddLiveRow(t, texts);
    for (size_t i = 0; i < texts.size(); ++i) last[i] = texts[i];
  });
  panel_.Refresh();
  // 15m has no throttle sensor voltage: its lane stays hidden.
  EXPECT_EQ(panel_.visible_lanes(), 9);
  EXPECT_TRUE(panel_.lanes()[9]->isHidden());
  EXPECT_TRUE(panel_.lanes()[7]->value_text().contains(QString::fromStdString(last[7])));
  Screenshot("chart_live.png");

  const std::string bad = (dir_ / "picture.csv").string();
  std::ofstream(bad, std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  const size_t rows = panel_.live().size();
  EXPECT_FALSE(panel_.OpenRecording(QString::fromStdString(bad)));
  EXPECT_EQ(panel_.message(), "picture.csv: not a Velarin recording: the file holds binary data");
  EXPECT_FALSE(panel_.showing_recording());
  panel_.Refresh();
  EXPECT_EQ(panel_.live().size(), rows);  // the live chart as it was
  EXPECT_EQ(panel_.visible_lanes(), 9);
}

TEST(ChartScaleTest, ValueRangesHoldTheDataOnRoundSteps) {
  struct Case {
    double min, max, min_span;
    int max_steps;
  } cases[] = {{1272, 6100, 1000, 4}, {3, 3, 10, 2},         {0.047, 0.114, 10, 1},
               {-40, -39.5, 10, 4},   {13.8, 14.1, 2, 3},    {0, 1e9, 1, 4},
               {NAN, 5, 1, 2},        {12.5, 12.5, 1e-9, 4}, {-1e308, 1e308, 1, 4}};
  for (const Case& c : cases) {
    const ValueRange r = NiceRange(c.min, c.max, c.min_span, c.max_steps);
    const double steps = (r.high - r.low) / r.step;
    if (!std::isnan(c.min) && std::isfinite(c.max - c.min)) {
      EXPECT_LE(r.low, c.min) << c.min;
      EXPECT_GE(r.high, c.max) << c.min;
    }
    EXPECT_GE(r.high - r.low, c.min_span * (1 - 1e-9)) << c.min;
    EXPECT_LE(steps, std::max(c.max_steps, 2) + 1e-9) << c.min;
    EXPECT_NEAR(steps, std::round(steps), 1e-9) << c.min;
  }
  EXPECT_EQ(TimeLabel(65'500), "1:05");
  EXPECT_EQ(TimeLabel(3'725'000), "1:02:05");
}

}  // namespace
}  // namespace velarin::gui
