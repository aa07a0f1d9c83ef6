// The "Tools" menu: a capture started and stopped from the window (and one on a
// full disk, while the connection goes on), and the adapter check that asks first.

#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <fstream>
#include <iterator>
#include <string>

#include "adaptercheck/adapter_check_texts.h"
#include "capture/capture_format.h"
#include "frontend/tools_texts.h"
#include "gui/gui_fixture.h"

namespace velarin::gui {
namespace {

QMessageBox* OpenConfirmation(AdapterCheckEntry& entry) {
  entry.action->trigger();
  QMessageBox* box = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box != nullptr && box->isVisible();
  }));
  return box;
}

TEST_F(GuiTest, CaptureToFileFromTheToolsMenu) {
  options_.simulate = true;
  options_.ecu = EcuFamily::EcuP8;
  Start();
  CaptureEntry& entry = session_->tools().capture();
  EXPECT_EQ(entry.action->text(), "Capture to file...");
  EXPECT_FALSE(entry.action->isChecked());
  const QString path = QString::fromStdString((dir_ / "window.vcap").string());
  entry.choose_path = [&] { return path; };
  entry.action->trigger();
  ASSERT_TRUE(WaitUntil([&] { return entry.status->text() == "capturing to " + path; }));
  EXPECT_TRUE(entry.action->isChecked());
  ConnectAndWaitForLiveData();
  Screenshot(main(), "main_capture.png");
  entry.action->trigger();
  ASSERT_TRUE(WaitUntil([&] { return entry.status->text() == "capture saved: " + path; }));
  EXPECT_FALSE(entry.action->isChecked());
  const CaptureParse parse = ReadCaptureFile(path.toStdString());
  ASSERT_TRUE(parse.capture) << parse.error;
  EXPECT_EQ(parse.capture->Note("family"), "P8");

  // A full disk: the capture stops and says so; the connection goes on.
  if (!std::filesystem::exists("/dev/full")) return;
  entry.choose_path = [] { return QStringLiteral("/dev/full"); };
  entry.action->trigger();
  ASSERT_TRUE(WaitUntil([&] {
    return entry.status->text() == "capture stopped: No space left on device" &&
           !entry.action->isChecked();
  }));
  main().Text1[7]->clear();  // the next read fills it again
  EXPECT_TRUE(WaitUntil([&] { return !main().Text1[7]->text().isEmpty(); })) << "still polling";
  EXPECT_TRUE(main().Check2->isChecked());
}

TEST_F(GuiTest, AdapterCheckAsksFirstAndRefusesWhileConnected) {
  options_.simulate = true;
  options_.ecu = EcuFamily::EcuP8;
  Start();
  AdapterCheckEntry& entry = session_->tools().adapter_check();
  QMessageBox* box = OpenConfirmation(entry);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text().toStdString(), adapter_check_texts::kConfirm);
  box->button(QMessageBox::No)->click();
  QTest::qWait(100);
  EXPECT_FALSE(entry.dialog->isVisible());

  ConnectAndWaitForLiveData();
  box = OpenConfirmation(entry);
  ASSERT_NE(box, nullptr);
  box->button(QMessageBox::Yes)->click();
  ASSERT_TRUE(WaitUntil([&] {
    return entry.dialog->isVisible() &&
           entry.text->toPlainText().toStdString() == frontend::tools_texts::kCheckWhileConnected;
  }));
  EXPECT_TRUE(entry.action->isEnabled());
  EXPECT_TRUE(main().Check2->isChecked()) << "the connection goes on";
}

TEST_F(GuiTest, SimulateFileReplaysACaptureAndLogsWhatItCouldNotPlay) {
  // Cut short, as a crash leaves it: played up to its last whole row, with a note.
  std::ifstream kept(std::string(VELARIN_CAPTURES_DIR) + "/P8.vcap");
  std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
  text.erase(text.rfind("0 E\n"));
  const std::string path = (dir_ / "cut.vcap").string();
  std::ofstream(path) << text;
  options_.simulate = true;
  options_.replay = path;
  Start();
  EXPECT_TRUE(WaitUntil([&] { return main().options[3]->isChecked(); })) << "P8, the capture's";
  EXPECT_TRUE(WaitUntil([&] { return LogHas(main().Rtb1, "the rows before it are replayed"); }));
  ConnectAndWaitForLiveData();
  EXPECT_TRUE(LogHas(main().Text4, "ecu data    : VLRP8A0412"));
  Screenshot(main(), "main_replay.png");
}

// The whole check against the simulator, about five seconds: run by hand for its picture,
//   gui_tests --gtest_also_run_disabled_tests --gtest_filter='*DISABLED_AdapterCheckShows*'
TEST_F(GuiTest, DISABLED_AdapterCheckShowsEachMeasurement) {
  options_.simulate = true;
  Start();
  AdapterCheckEntry& entry = session_->tools().adapter_check();
  QMessageBox* box = OpenConfirmation(entry);
  ASSERT_NE(box, nullptr);
  Screenshot(*box, "adapter_check_confirm.png");
  box->button(QMessageBox::Yes)->click();
  ASSERT_TRUE(WaitUntil([&] { return entry.dialog->isVisible(); }));
  Screenshot(*entry.dialog, "adapter_check_running.png");
  ASSERT_TRUE(WaitUntil([&] { return entry.text->toPlainText().contains("Result: "); }));
  EXPECT_TRUE(entry.text->toPlainText().contains("[ ok ] Adapter echoes: yes, 50 of 50"));
  Screenshot(*entry.dialog, "adapter_check_result.png");
}

}  // namespace
}  // namespace velarin::gui
