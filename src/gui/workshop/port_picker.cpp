#include "gui/workshop/port_picker.h"

#include <QAbstractItemView>

#include "gui/workshop/workshop_texts.h"

namespace velarin::gui {
namespace {

QString U(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kShownCharacters = 6;  // the frame beside "Com" keeps its width; the list is wide

}  // namespace

PortPicker::PortPicker(QWidget* parent, std::string remembered, Lister lister)
    : QComboBox(parent), lister_(std::move(lister)), selected_(std::move(remembered)) {
  setToolTip(U(workshop_texts::kAdapterTip));
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(kShownCharacters);
  connect(this, &QComboBox::activated, this, [this](int index) { Choose(index); });

  watcher_ = std::make_unique<ports::PortWatcher>();
  if (watcher_->Fd() >= 0) {
    notifier_ = new QSocketNotifier(watcher_->Fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
      if (watcher_->Drain()) Refresh();
    });
  } else {
    connect(&poll_, &QTimer::timeout, this, [this] {
      if (watcher_->Drain()) Refresh();
    });
    poll_.start(ports::PortWatcher::kPollMs);
  }
  Refresh();
}

PortPicker::~PortPicker() = default;

void PortPicker::Refresh() {
  const ports::PortList list = lister_();
  choices_.clear();
  ports::PortChoice by_number;
  by_number.label = std::string(workshop_texts::kByComNumber);
  by_number.present = true;
  choices_.push_back(by_number);
  for (ports::PortChoice& c : ports::PortChoices(list.ports, selected_))
    choices_.push_back(std::move(c));
  Fill();
}

void PortPicker::Fill() {
  const bool blocked = blockSignals(true);
  clear();
  int current = 0;
  for (size_t i = 0; i < choices_.size(); ++i) {
    const ports::PortChoice& c = choices_[i];
    addItem(QString::fromStdString(c.label));
    QString tip = QString::fromStdString(c.system_path.empty() ? c.identity : c.system_path);
    if (!c.rate_note.empty()) tip += QStringLiteral("\n") + QString::fromStdString(c.rate_note);
    setItemData(static_cast<int>(i), tip, Qt::ToolTipRole);
    if (i > 0 && c.identity == selected_) current = static_cast<int>(i);
  }
  setCurrentIndex(current);
  view()->setMinimumWidth(view()->sizeHintForColumn(0) + 24);
  blockSignals(blocked);
}

const ports::PortChoice& PortPicker::selected() const {
  const int i = currentIndex();
  return choices_[i > 0 && static_cast<size_t>(i) < choices_.size() ? static_cast<size_t>(i) : 0];
}

void PortPicker::Choose(int index) {
  if (index < 0 || static_cast<size_t>(index) >= choices_.size()) return;
  const std::string identity = choices_[static_cast<size_t>(index)].identity;
  const bool was_gone = !choices_.back().present && choices_.back().identity != identity;
  selected_ = identity;
  // A "not present" entry left behind is dropped with the next listing.
  if (was_gone) {
    Refresh();
  } else if (currentIndex() != index) {
    setCurrentIndex(index);
  }
  if (on_chosen) on_chosen(selected());
}

}  // namespace velarin::gui
