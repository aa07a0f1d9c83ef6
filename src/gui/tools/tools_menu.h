#pragma once
// The main window's "Tools" menu, made on first use, so that an entry is one
// line: ToolsMenu(window)->addAction(...). ToolsEntries holds the entries that
// follow the loop's state (the capture, the adapter check).

#include <QMainWindow>
#include <QMenu>
#include <memory>

#include "gui/gui_loop.h"
#include "gui/tools/adapter_check_entry.h"
#include "gui/tools/capture_entry.h"
#include "gui/tools/tools_view.h"

namespace velarin::gui {

QMenu* ToolsMenu(QMainWindow& window);

class ToolsEntries {
 public:
  ToolsEntries(GuiLoop& loop, QMainWindow& window);

  void Apply(const ToolsView& view);

  CaptureEntry& capture() { return capture_; }
  AdapterCheckEntry& adapter_check() { return adapter_check_; }

 private:
  CaptureEntry capture_;
  AdapterCheckEntry adapter_check_;
};

}  // namespace velarin::gui
