// The window's workshop tools: a recording of the simulated ECU read back, the
// chart fed from the same reads, the adapter drop-down and its settings key.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QStatusBar>
#include <QTest>

#include "connection/settings.h"
#include "gui/chart/chart_panel.h"
#include "gui_fixture.h"
#include "recording/recording_reader.h"

namespace velarin::gui {
namespace {

TEST_F(GuiTest, RecordsLiveDataUntilDisconnectAndTheFileReadsBack) {
  options_.simulate = true;
  Start();
  WorkshopTools& tools = *session_->workshop();
  RecordControl& record = tools.record();

  // A file that cannot be written: one clear line, the toggle stays off.
  EXPECT_FALSE(record.StartInto((dir_ / "missing" / "r.csv").string()));
  EXPECT_FALSE(record.action()->isChecked());
  EXPECT_TRUE(record.status()->text().startsWith("recording stopped: cannot write "));

  const std::string path = (dir_ / "ride.csv").string();
  ASSERT_TRUE(record.StartInto(path));
  tools.chart_dock().show();
  ConnectAndWaitForLiveData();
  ASSERT_TRUE(WaitUntil([&] { return record.writer().rows() >= 4; }));
  EXPECT_TRUE(record.status()->text().startsWith("recording ride.csv: "));
  ASSERT_TRUE(WaitUntil([&] { return tools.chart()->redraws() > 0; }));
  Screenshot(main(), "workshop-chart.png");

  QTest::mouseClick(main().Check2, Qt::LeftButton);  // Disconnect closes the file
  ASSERT_TRUE(WaitUntil([&] { return !record.writer().recording(); }));
  EXPECT_FALSE(record.action()->isChecked());
  const size_t rows = record.writer().rows();
  EXPECT_EQ(record.status()->text().toStdString(), std::to_string(rows) + " rows in " + path);

  recording::LiveSeries series(recording::kMaxTimeMs, recording::kMaxRows);
  const recording::RecordingRead read = recording::ReadRecordingFile(path, series);
  ASSERT_TRUE(read.ok) << read.message;
  EXPECT_EQ(read.rows, rows);
  EXPECT_EQ(read.skipped, 0u);
  EXPECT_LT(series.at(0).t_ms, 1000);                 // counted from the start of the recording
  EXPECT_FALSE(std::isnan(series.back().values[7]));  // battery
  EXPECT_GE(tools.chart()->live().size(), rows);

  // A recording that ends before any read says so.
  ASSERT_TRUE(record.StartInto((dir_ / "empty.csv").string()));
  session_->Stop();
  EXPECT_TRUE(record.status()->text().startsWith("the recording ended with no row: "));
}

TEST_F(GuiTest, TheChosenAdapterFillsComAndIsRememberedOrMarkedNotPresent) {
  ports::PortInfo ftdi;
  ftdi.system_path = "/dev/ttyUSB3";
  ftdi.by_id_path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  ftdi.usb = ports::UsbId{0x0403, 0x6001};
  ftdi.product = "FT232R USB UART";
  ftdi.serial_number = "A50285BI";
  std::vector<ports::PortInfo> plugged{ftdi};
  lister_ = [&plugged] { return ports::PortList{plugged, ""}; };
  Start();
  PortPicker& picker = session_->workshop()->ports();
  ASSERT_EQ(picker.count(), 2);
  EXPECT_EQ(picker.currentIndex(), 0);  // by Com number
  picker.Choose(1);
  ASSERT_TRUE(WaitUntil([&] { return main().Text6->text() == "4"; }));
  ASSERT_TRUE(WaitUntil(
      [&] { return LireINI(*options_.settings, "Hardware", "Adapter") == ftdi.by_id_path; }));
  Screenshot(main(), "workshop-adapter.png");
  picker.showPopup();
  Screenshot(*picker.view()->window(), "workshop-ports.png");
  picker.hidePopup();
  session_.reset();

  // Unplugged: the choice stays, marked, and "Com" keeps what was stored.
  plugged.clear();
  Start();
  PortPicker& again = session_->workshop()->ports();
  ASSERT_EQ(again.count(), 2);
  EXPECT_EQ(again.currentIndex(), 1);
  EXPECT_TRUE(again.currentText().endsWith("not present")) << again.currentText().toStdString();
  EXPECT_FALSE(again.selected().present);
  // Plugged in again: the watcher's refresh finds it under its identity.
  plugged.push_back(ftdi);
  again.Refresh();
  EXPECT_TRUE(again.selected().present);
  EXPECT_EQ(again.selected().system_path, "/dev/ttyUSB3");
}

}  // namespace
}  // namespace velarin::gui
