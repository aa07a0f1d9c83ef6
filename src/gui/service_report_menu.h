#pragma once
// "Tools" > "Service report...": a save dialog, then the report of the window's
// session written to the file chosen.

#include <QMainWindow>

#include "gui/gui_loop.h"

namespace velarin::gui {

// Adds the entry to the window's "Tools" menu, made when there is none yet.
// Returns the entry (tests trigger it).
QAction* AddServiceReportMenu(QMainWindow& window, GuiLoop& loop);

}  // namespace velarin::gui
