#pragma once
// The test window (Form1) as Qt widgets: drawn from snapshots, every action
// posted to the loop. Its title-bar close acts as "Back".

#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <array>

#include "gui/gui_loop.h"
#include "gui/snapshot.h"

namespace velarin::gui {

class TestWindowView : public QMainWindow {
 public:
  explicit TestWindowView(GuiLoop& loop);

  void Apply(const TestView& view);

  std::array<QPushButton*, kTestButtonCount> Command{};
  QPushButton* Command10 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QProgressBar* Pg1 = nullptr;
  QSlider* Slider1 = nullptr;
  QRadioButton* Option1 = nullptr;
  QRadioButton* Option2 = nullptr;
  QPlainTextEdit* Rtb1 = nullptr;
  QAction* back = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  GuiLoop& loop_;
  QGroupBox* Frame1_ = nullptr;
  size_t log_scrolls_ = 0;
  bool applying_ = false;
};

}  // namespace velarin::gui
