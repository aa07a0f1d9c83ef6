// The "Tools" menu: a capture started and stopped from the window (and one on a
// full disk, while the connection goes on) over a replayed capture, and the
// adapter check that asks first.

#include <QApplication>
#include <QMessageBox>
#include <fstream>
#include <iterator>
#include <string>

#include "adaptercheck/adapter_check_texts.h"
#include "capture/capture_format.h"
#include "frontend/tools_texts.h"
#include "gui/gui_fixture.h"

namespace velarin::gui {
namespace {

TEST_F(GuiTest, CaptureToFileWhileReplayingACaptureCutShort) {
  // Cut short, as a crash leaves it: played up to its last whole row, with a note in the log.
  std::ifstream kept(std::string(VELARIN_CAPTURES_DIR) + "/P8.vcap");
  std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
  std::ofstream((dir_ / "cut.vcap").string()) << text.erase(text.rfind("0 E\n"));
  options_.simulate = true;
  options_.replay = (dir_ / "cut.vcap").string();
  Start();
  EXPECT_TRUE(WaitUntil([&] { return main().options[3]->isChecked(); })) << "P8, the capture's";
  EXPECT_TRUE(WaitUntil([&] { return LogHas(main().Rtb1, "the rows before it are replayed"); }));

  CaptureEntry& entry = session_->tools().capture();
  const QString path = QString::fromStdString((dir_ / "window.vcap").string());
  entry.choose_path = [&] { return path; };
  entry.action->trigger();
  ASSERT_TRUE(WaitUntil([&] { return entry.status->text() == "capturing to " + path; }));
  EXPECT_TRUE(entry.action->isChecked());
  ConnectAndWaitForLiveData();
  EXPECT_TRUE(LogHas(main().Text4, "ecu data    : VLRP8A0412"));
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
}

TEST_F(GuiTest, AdapterCheckAsksFirstAndRefusesWhileConnected) {
  options_.simulate = true;
  options_.ecu = EcuFamily::EcuP8;
  Start();
  AdapterCheckEntry& entry = session_->tools().adapter_check();
  for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
    entry.action->trigger();
    QMessageBox* box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      return box != nullptr && box->isVisible();
    }));
    EXPECT_EQ(box->text().toStdString(), adapter_check_texts::kConfirm);
    box->button(answer)->click();
    if (answer == QMessageBox::No) {
      QTest::qWait(100);
      EXPECT_FALSE(entry.dialog->isVisible());
      ConnectAndWaitForLiveData();
    }
  }
  ASSERT_TRUE(WaitUntil([&] {
    return entry.dialog->isVisible() &&
           entry.text->toPlainText().toStdString() == frontend::tools_texts::kCheckWhileConnected;
  }));
  EXPECT_TRUE(entry.action->isEnabled());
  EXPECT_TRUE(main().Check2->isChecked()) << "the connection goes on";
}

}  // namespace
}  // namespace velarin::gui
