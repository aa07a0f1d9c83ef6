#pragma once
// A window session on the offscreen platform, its settings in a fresh folder, and
// waits that keep the Qt event loop running (the protocol runs on its own thread).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui_session.h"

namespace velarin::gui {

inline constexpr int kWaitMs = 20000;  // only a broken window comes near this

// Runs the Qt event loop until `done` holds; false after `timeout_ms`.
inline bool WaitUntil(const std::function<bool()>& done, int timeout_ms = kWaitMs) {
  for (int waited = 0; !done(); waited += 10) {
    if (waited >= timeout_ms) return false;
    QTest::qWait(10);
  }
  return true;
}

inline bool LogHas(const QPlainTextEdit* log, const char* text) {
  return log->toPlainText().contains(QString::fromUtf8(text));
}

class GuiTest : public ::testing::Test {
 protected:
  GuiTest() {
    dir_ = std::filesystem::temp_directory_path() /
           ("velarin-gui-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    options_.settings = (dir_ / "velarin.ini").string();
  }
  ~GuiTest() override {
    session_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  void Start() {
    session_ = std::make_unique<GuiSession>(
        options_, [this](const QUrl& url) { urls_.push_back(url); }, lister_);
    QString error;
    ASSERT_TRUE(session_->Start(&error)) << error.toStdString();
  }
  MainWindowView& main() { return session_->main_view(); }
  TestWindowView& tests() { return session_->test_view(); }

  // Saves a picture of `widget` into the build tree's artifacts folder.
  static void Screenshot(QWidget& widget, const char* name) {
    const QString dir = QStringLiteral(VELARIN_ARTIFACTS_DIR);
    QDir().mkpath(dir);
    EXPECT_TRUE(widget.grab().save(dir + "/" + name)) << name;
  }

  // Presses "Connect" and waits for the first live-data readouts.
  void ConnectAndWaitForLiveData(const std::function<void()>& after_click = {}) {
    QTest::mouseClick(main().Check2, Qt::LeftButton);
    if (after_click) after_click();
    ASSERT_TRUE(WaitUntil([&] { return !main().Text1[7]->text().isEmpty(); }))
        << main().Rtb1->toPlainText().toStdString();
  }

  std::filesystem::path dir_;
  GuiLoopOptions options_;
  std::unique_ptr<GuiSession> session_;
  std::vector<QUrl> urls_;
  PortPicker::Lister lister_ = [] { return ports::PortList{}; };  // no machine's own ports
};

}  // namespace velarin::gui
