#include "gui/tools/capture_entry.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QSignalBlocker>
#include <QStatusBar>

#include "gui/tools/tools_captions.h"
#include "gui/widgets.h"

namespace velarin::gui {

namespace captions = tools_captions;

CaptureEntry::CaptureEntry(GuiLoop& loop, QMainWindow& window, QMenu& menu)
    : loop_(loop), window_(window) {
  action = menu.addAction(Q(captions::kCaptureEntry));
  action->setCheckable(true);
  status = new QLabel(&window);
  status->setVisible(false);
  window.statusBar()->addPermanentWidget(status);
  choose_path = [this] {
    const QString name = Q(captions::kCaptureNameA) +
                         QDateTime::currentDateTime().toString(Q(captions::kCaptureNameTime)) +
                         Q(captions::kCaptureNameB);
    return QFileDialog::getSaveFileName(&window_, Q(captions::kCaptureDialogTitle),
                                        QDir::home().filePath(name), Q(captions::kCaptureFilter));
  };
  QObject::connect(action, &QAction::triggered, &window,
                   [this](bool checked) { Toggled(checked); });
}

void CaptureEntry::Toggled(bool checked) {
  if (!checked) {
    ++requests_;
    loop_.PostTool([](ToolsState& tools, frontend::Session& s) { tools.StopCapture(s); });
    return;
  }
  const QString path = choose_path();
  if (path.isEmpty()) {
    action->setChecked(false);
    return;
  }
  ++requests_;
  loop_.PostTool([p = QDir::toNativeSeparators(path).toStdString()](
                     ToolsState& tools, frontend::Session& s) { tools.StartCapture(s, p); });
}

void CaptureEntry::Apply(const ToolsView& view) {
  // A snapshot from before the user's last click would undo it for a moment.
  if (view.capture_requests >= requests_ && action->isChecked() != view.capturing) {
    const QSignalBlocker quiet(action);
    action->setChecked(view.capturing);
  }
  const QString text = Q(view.capture_status);
  if (status->text() != text) status->setText(text);
  status->setVisible(!text.isEmpty());
}

}  // namespace velarin::gui
