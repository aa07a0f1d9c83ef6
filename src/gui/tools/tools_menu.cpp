#include "gui/tools/tools_menu.h"

#include <QMenuBar>

#include "gui/tools/tools_captions.h"
#include "gui/widgets.h"

namespace velarin::gui {
namespace {
constexpr char kToolsMenuName[] = "tools";
}  // namespace

QMenu* ToolsMenu(QMainWindow& window) {
  if (auto* menu = window.menuBar()->findChild<QMenu*>(kToolsMenuName)) return menu;
  QMenu* menu = window.menuBar()->addMenu(Q(tools_captions::kToolsMenu));
  menu->setObjectName(kToolsMenuName);
  return menu;
}

ToolsEntries::ToolsEntries(GuiLoop& loop, QMainWindow& window)
    : capture_(loop, window, *ToolsMenu(window)),
      adapter_check_(loop, window, *ToolsMenu(window)) {}

void ToolsEntries::Apply(const ToolsView& view) {
  capture_.Apply(view);
  adapter_check_.Apply(view);
}

}  // namespace velarin::gui
