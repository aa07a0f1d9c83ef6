#pragma once
// What the window offers beside the main window's own controls: a toolbar and a
// "View" menu with the "Record" toggle and the chart panel, and the adapter
// drop-down beside "Com". Fed from the snapshots on the window's thread; what
// changes the protocol's state (the port to open, the settings file) is posted
// to the loop.

#include <QDockWidget>
#include <QMenu>
#include <QToolBar>
#include <cstdint>
#include <memory>
#include <string>

#include "gui/gui_loop.h"
#include "gui/main_window_view.h"
#include "gui/snapshot.h"
#include "gui/workshop/port_picker.h"
#include "gui/workshop/record_control.h"

namespace velarin::gui {

class ChartPanel;

struct WorkshopOptions {
  std::string settings_path;
  // The command line chose the port (--device, --com) or brought one (--simulate):
  // the remembered adapter does not override it.
  bool port_given = false;
  bool simulate = false;
  PortPicker::Lister lister = ports::ListSerialPorts;
};

class WorkshopTools {
 public:
  WorkshopTools(MainWindowView& window, GuiLoop& loop, WorkshopOptions options);
  ~WorkshopTools();

  void Apply(const Snapshot& snapshot);
  // The window closes: the recording ends with every row.
  void Finish();

  RecordControl& record() { return *record_; }
  PortPicker& ports() { return *picker_; }
  QToolBar& toolbar() { return *toolbar_; }
  QDockWidget& chart_dock() { return *chart_dock_; }
  // nullptr where the window was built without Qt Charts.
  ChartPanel* chart() { return chart_; }

 private:
  void UseAdapter(const ports::PortChoice& choice, bool remember);

  MainWindowView& window_;
  GuiLoop& loop_;
  WorkshopOptions options_;
  QToolBar* toolbar_ = nullptr;
  QMenu* view_menu_ = nullptr;
  QDockWidget* chart_dock_ = nullptr;
  ChartPanel* chart_ = nullptr;
  RecordControl* record_ = nullptr;
  PortPicker* picker_ = nullptr;
  bool connected_ = false;
  uint32_t connected_ms_ = 0;
  bool widened_ = false;
};

}  // namespace velarin::gui
