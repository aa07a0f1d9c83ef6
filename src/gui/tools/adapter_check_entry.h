#pragma once
// "Adapter check...": an entry of the "Tools" menu. It first says that the
// ignition must be off and asks to go on; then the check runs on the loop's
// thread (refused while connected) and its lines fill a window of their own.

#include <QAction>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <cstdint>

#include "gui/gui_loop.h"
#include "gui/tools/tools_view.h"

namespace velarin::gui {

class AdapterCheckEntry {
 public:
  AdapterCheckEntry(GuiLoop& loop, QMainWindow& window, QMenu& menu);

  void Apply(const ToolsView& view);

  QAction* action = nullptr;
  QPointer<QMessageBox> confirmation;  // while it asks
  QDialog* dialog = nullptr;
  QPlainTextEdit* text = nullptr;

 private:
  void Ask();
  void Start();

  GuiLoop& loop_;
  QMainWindow& window_;
  uint64_t shown_ = 0;    // the checks whose lines the dialog has shown
  bool waiting_ = false;  // a check was posted and its lines are not in yet
};

}  // namespace velarin::gui
