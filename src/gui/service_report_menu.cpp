#include "gui/service_report_menu.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "gui/tools/tools_menu.h"
#include "gui/widgets.h"
#include "report/report_texts.h"

namespace velarin::gui {

namespace rt = report_texts;

QAction* AddServiceReportMenu(QMainWindow& window, GuiLoop& loop) {
  QAction* entry = ToolsMenu(window)->addAction(Q(rt::kMenuServiceReport));
  QObject::connect(entry, &QAction::triggered, &window, [&window, &loop] {
    const QString start = QDir::home().filePath(Q(rt::kDefaultName));
    QString path = QFileDialog::getSaveFileName(&window, Q(rt::kTitle), start, Q(rt::kSaveFilter));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".html");
    loop.PostServiceReport(QFile::encodeName(path).toStdString());
  });
  return entry;
}

}  // namespace velarin::gui
