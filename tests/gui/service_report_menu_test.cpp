// "Tools" > "Service report...": the entry is there, and the window's session is
// written to the file the save dialog would give, with the status bar saying so.

#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <fstream>
#include <iterator>

#include "gui/gui_fixture.h"

namespace velarin::gui {
namespace {

TEST_F(GuiTest, ToolsServiceReportWritesTheWindowsSession) {
  options_.simulate = true;
  Start();
  QMenu* tools = nullptr;
  for (QAction* action : main().menuBar()->actions()) {
    if (action->text() == QStringLiteral("Tools")) tools = action->menu();
  }
  ASSERT_NE(tools, nullptr);
  // One "Tools" menu holds every tool.
  QStringList entries;
  for (QAction* entry : tools->actions()) entries << entry->text();
  EXPECT_EQ(entries, QStringList({"Capture to file...", "Adapter check...", "Service report..."}));
  ConnectAndWaitForLiveData();

  const std::string path = (dir_ / "report.html").string();
  session_->loop().PostServiceReport(path);
  ASSERT_TRUE(
      WaitUntil([&] { return main().statusBar()->currentMessage().startsWith("Service"); }));
  EXPECT_EQ(main().statusBar()->currentMessage().toStdString(), "Service report written: " + path);
  std::ifstream file(path, std::ios::binary);
  const std::string html((std::istreambuf_iterator<char>(file)), {});
  EXPECT_NE(html.find("<td>15m</td>"), std::string::npos) << html;
  EXPECT_NE(html.find("<td>rpm</td>"), std::string::npos) << html;

  tools->popup(main().mapToGlobal(QPoint(40, 20)));
  QTest::qWait(50);
  Screenshot(main(), "service_report_window.png");
  Screenshot(*tools, "service_report_menu.png");
}

}  // namespace
}  // namespace velarin::gui
