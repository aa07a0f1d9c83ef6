#pragma once
// The main window (Form2) as Qt widgets: drawn from snapshots, every user action
// posted to the loop. It never touches the forms itself.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <array>
#include <functional>

#include "gui/gui_loop.h"
#include "gui/snapshot.h"
#include "gui/widgets.h"
#include "protocol/families.h"

namespace velarin::gui {

class MainWindowView : public QMainWindow {
 public:
  // `on_close`: the user closed the window (the program ends).
  MainWindowView(GuiLoop& loop, std::function<void()> on_close);

  void Apply(const MainView& view);
  // Puts `widget` in the "Com Port" frame, right of the port number.
  void AddBesideCom(QWidget* widget);

  // The controls, for tests and screenshots.
  QLineEdit* Text6 = nullptr;
  QPushButton* Check2 = nullptr;
  Lamp* Shape1 = nullptr;
  QPlainTextEdit* Text4 = nullptr;
  QLabel* Label4 = nullptr;
  // Option1, Option9, Option7, Option2: one per row of the family table.
  std::array<QRadioButton*, kFamilies.size()> options{};
  QCheckBox* Check3 = nullptr;
  QCheckBox* Check4 = nullptr;
  QPushButton* Command6 = nullptr;
  QPushButton* Command7 = nullptr;
  QPushButton* Command11 = nullptr;
  QToolButton* Command8 = nullptr;
  QPlainTextEdit* Rtb1 = nullptr;
  std::array<QCheckBox*, kChannelCount> Check1{};
  std::array<QLineEdit*, kReadoutCount> Text1{};
  std::array<QLabel*, kChannelCount> Label3{};
  QLabel* Label9 = nullptr;
  QLabel* Label25 = nullptr;
  QLabel* Label26 = nullptr;
  SpeedBar* Line1 = nullptr;
  QAction* test = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildReadouts();
  QWidget* BuildConnection();

  GuiLoop& loop_;
  std::function<void()> on_close_;
  QGroupBox* Frame1_ = nullptr;
  QLabel* Label1_ = nullptr;
  QGroupBox* Frame2_ = nullptr;
  QGroupBox* Frame3_ = nullptr;
  size_t log_scrolls_ = 0;
};

}  // namespace velarin::gui
