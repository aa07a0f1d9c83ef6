#pragma once
// "Capture to file...": a checkable entry of the "Tools" menu, off at start.
// Checking it asks for a file and starts the capture at once: on an open port
// from the next byte on, otherwise from the next Connect. Unchecking ends it.
// A line at the right of the status bar says where the capture goes, where it
// was saved, or why it stopped (the entry then unchecks itself).

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QString>
#include <cstdint>
#include <functional>

#include "gui/gui_loop.h"
#include "gui/tools/tools_view.h"

namespace velarin::gui {

class CaptureEntry {
 public:
  CaptureEntry(GuiLoop& loop, QMainWindow& window, QMenu& menu);

  void Apply(const ToolsView& view);

  QAction* action = nullptr;
  QLabel* status = nullptr;
  // Asks the user for the capture's file; empty when cancelled. A save dialog
  // by default; tests answer it themselves.
  std::function<QString()> choose_path;

 private:
  void Toggled(bool checked);

  GuiLoop& loop_;
  QMainWindow& window_;
  uint64_t requests_ = 0;  // start and stop requests posted
};

}  // namespace velarin::gui
