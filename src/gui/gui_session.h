#pragma once
// The window program: the protocol loop on its thread and the two windows on the
// GUI thread, joined by snapshots. Message boxes and the donation page open on
// the GUI thread. Used by the `velarin` program and by the GUI test.

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "gui/gui_loop.h"
#include "gui/main_window_view.h"
#include "gui/snapshot.h"
#include "gui/test_window_view.h"
#include "gui/tools/tools_menu.h"
#include "gui/workshop/workshop_tools.h"

namespace velarin::gui {

class GuiSession {
 public:
  // `open_url` opens the donation page; by default the desktop's URL handler.
  // `lister`: where the adapter drop-down gets the port list (tests give their own).
  explicit GuiSession(GuiLoopOptions options, std::function<void(const QUrl&)> open_url = {},
                      PortPicker::Lister lister = ports::ListSerialPorts);
  ~GuiSession();

  // The application-wide settings of the window program, made once after the
  // QApplication exists: the program ends with its main window, not with its
  // last window. No application display name is set: the window system would
  // append it to every caption ("Test — Velarin").
  static void ConfigureApplication();

  // Starts the loop and shows the windows as the first snapshot says.
  bool Start(QString* error);
  // Ends the loop (main window unloaded, port closed). Idempotent.
  void Stop();

  GuiLoop& loop() { return *loop_; }
  MainWindowView& main_view() { return *main_view_; }
  TestWindowView& test_view() { return *test_view_; }
  // The toolbar, chart and adapter list; set once Start() succeeded.
  WorkshopTools* workshop() { return workshop_.get(); }
  ToolsEntries& tools() { return *tools_; }
  // The last snapshot drawn (tests look at it).
  const std::optional<Snapshot>& last_drawn() const { return last_; }
  // Message boxes shown so far.
  int message_boxes() const { return message_boxes_; }

 private:
  void DrawPending();
  void ShowMessage(const QString& text);

  GuiLoopOptions options_;
  std::function<void(const QUrl&)> open_url_;
  std::unique_ptr<QObject> context_;  // GUI-thread receiver of the loop's calls
  std::unique_ptr<GuiLoop> loop_;
  std::unique_ptr<MainWindowView> main_view_;
  std::unique_ptr<TestWindowView> test_view_;
  PortPicker::Lister lister_;
  std::unique_ptr<WorkshopTools> workshop_;  // after the views: it holds their widgets
  std::unique_ptr<ToolsEntries> tools_;      // on the main window, gone before it
  std::optional<Snapshot> last_;
  int message_boxes_ = 0;
};

}  // namespace velarin::gui
