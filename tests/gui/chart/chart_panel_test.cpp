#include "gui/chart/chart_panel.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLineSeries>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/chart/chart_lane.h"
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

}  // namespace
}  // namespace velarin::gui
