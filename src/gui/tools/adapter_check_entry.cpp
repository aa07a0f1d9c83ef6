#include "gui/tools/adapter_check_entry.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "adaptercheck/adapter_check_texts.h"
#include "forms/captions.h"
#include "frontend/tools_texts.h"
#include "gui/tools/tools_captions.h"
#include "gui/widgets.h"

namespace velarin::gui {

AdapterCheckEntry::AdapterCheckEntry(GuiLoop& loop, QMainWindow& window, QMenu& menu)
    : loop_(loop), window_(window) {
  action = menu.addAction(Q(tools_captions::kAdapterCheckEntry));
  QObject::connect(action, &QAction::triggered, &window, [this] { Ask(); });

  dialog = new QDialog(&window);
  dialog->setWindowTitle(Q(tools_captions::kAdapterCheckTitle));
  auto* column = new QVBoxLayout(dialog);
  text = new QPlainTextEdit(dialog);
  text->setReadOnly(true);
  text->setFont(MonospaceFont());
  column->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  column->addWidget(buttons);
  dialog->resize(900, 440);
}

void AdapterCheckEntry::Ask() {
  if (confirmation || waiting_) return;
  confirmation = new QMessageBox(QMessageBox::Question, Q(captions::kProgramTitle),
                                 Q(adapter_check_texts::kConfirm),
                                 QMessageBox::Yes | QMessageBox::No, &window_);
  confirmation->setDefaultButton(QMessageBox::No);
  confirmation->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(confirmation, &QMessageBox::buttonClicked, &window_,
                   [this](QAbstractButton* button) {
                     const bool yes = confirmation->standardButton(button) == QMessageBox::Yes;
                     confirmation = nullptr;
                     if (yes) Start();
                   });
  confirmation->open();
}

void AdapterCheckEntry::Start() {
  waiting_ = true;
  action->setEnabled(false);
  text->setPlainText(Q(frontend::tools_texts::kCheckRunning));
  dialog->show();
  dialog->raise();
  loop_.PostTool([](ToolsState& tools, frontend::Session& s) { tools.CheckAdapter(s); });
}

void AdapterCheckEntry::Apply(const ToolsView& view) {
  if (view.checks_done == shown_) return;
  shown_ = view.checks_done;
  if (!waiting_) return;  // a check from before this window's last request
  waiting_ = false;
  action->setEnabled(true);
  QString lines;
  for (const std::string& line : view.check_lines) {
    if (!lines.isEmpty()) lines += QLatin1Char('\n');
    lines += Q(line);
  }
  text->setPlainText(lines);
}

}  // namespace velarin::gui
