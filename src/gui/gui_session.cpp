#include "gui/gui_session.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMetaObject>
#include <QUrl>

#include "forms/captions.h"
#include "gui/service_report_menu.h"
#include "gui/widgets.h"

namespace velarin::gui {

GuiSession::GuiSession(GuiLoopOptions options, std::function<void(const QUrl&)> open_url,
                       PortPicker::Lister lister)
    : options_(options),
      open_url_(std::move(open_url)),
      context_(std::make_unique<QObject>()),
      lister_(std::move(lister)) {
  if (!open_url_) open_url_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  QObject* context = context_.get();
  GuiLoop::Hooks hooks;
  hooks.notify = [this, context] {
    QMetaObject::invokeMethod(
        context, [this] { DrawPending(); }, Qt::QueuedConnection);
  };
  hooks.message_box = [this, context](const std::string& text) {
    QMetaObject::invokeMethod(
        context, [this, t = Q(text)] { ShowMessage(t); }, Qt::QueuedConnection);
  };
  hooks.open_url = [this, context](const std::string& url) {
    QMetaObject::invokeMethod(
        context,
        [this, u = Q(url)] {
          const QUrl address(u);
          // Only a web page is ever opened, and never through a shell.
          if (address.scheme() == QLatin1String("https")) open_url_(address);
        },
        Qt::QueuedConnection);
  };
  loop_ = std::make_unique<GuiLoop>(std::move(options), std::move(hooks));
  main_view_ = std::make_unique<MainWindowView>(*loop_, [this] {
    Stop();
    QCoreApplication::quit();
  });
  test_view_ = std::make_unique<TestWindowView>(*loop_);
  tools_ = std::make_unique<ToolsEntries>(*loop_, *main_view_);
  AddServiceReportMenu(*main_view_, *loop_);
}

GuiSession::~GuiSession() {
  Stop();
  // Calls still queued for the context die with it.
  context_.reset();
}

void GuiSession::ConfigureApplication() { QApplication::setQuitOnLastWindowClosed(false); }

bool GuiSession::Start(QString* error) {
  std::string why;
  if (!loop_->Start(&why)) {
    *error = Q(why);
    return false;
  }
  workshop_ = std::make_unique<WorkshopTools>(
      *main_view_, *loop_,
      WorkshopOptions{loop_->settings_path(), options_.simulate || options_.device || options_.com,
                      options_.simulate, lister_});
  DrawPending();
  return true;
}

void GuiSession::Stop() {
  loop_->Stop();
  DrawPending();
  if (workshop_) workshop_->Finish();
}

void GuiSession::DrawPending() {
  std::optional<Snapshot> s = loop_->TakeSnapshot();
  if (!s) return;
  main_view_->Apply(s->main);
  test_view_->Apply(s->test);
  if (workshop_) workshop_->Apply(*s);
  tools_->Apply(s->tools);
  last_ = std::move(s);
}

void GuiSession::ShowMessage(const QString& text) {
  ++message_boxes_;
  // The test window's entry reports while the main window is already hidden.
  QWidget* parent = main_view_->isVisible() ? static_cast<QWidget*>(main_view_.get())
                                            : static_cast<QWidget*>(test_view_.get());
  auto* box = new QMessageBox(QMessageBox::NoIcon, Q(captions::kProgramTitle), text,
                              QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // Modal and asynchronous: the loop goes on, the user cannot click meanwhile.
  box->setWindowModality(Qt::ApplicationModal);
  box->open();
}

}  // namespace velarin::gui
