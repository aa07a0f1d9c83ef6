#include "gui/chart/chart_panel.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/chart/chart_lane.h"
#include "gui/chart/chart_scale.h"
#include "gui/chart/chart_texts.h"
#include "gui/chart/time_ruler.h"
#include "recording/recording_reader.h"

namespace velarin::gui {
namespace {

// One colour per column, told apart also by readers with the common colour
// blindnesses, and dark enough on white.
const std::array<QColor, recording::kValueColumns> kColours = {
    QColor(0x1F, 0x77, 0xB4), QColor(0xE3, 0x6C, 0x0A), QColor(0x2C, 0xA0, 0x2C),
    QColor(0xD6, 0x27, 0x28), QColor(0x94, 0x67, 0xBD), QColor(0x8C, 0x56, 0x4B),
    QColor(0xC2, 0x3B, 0xA0), QColor(0x4D, 0x4D, 0x4D), QColor(0x9A, 0x9B, 0x14),
    QColor(0x12, 0x9C, 0xAE)};

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ChartPanel::ChartPanel(QWidget* parent)
    : QWidget(parent), live_(kLiveKeepMs, kLiveMaxRows), recording_(1, 1) {
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(10, 6, 10, 4);
  bar->addWidget(new QLabel(Q(chart_texts::kWindow), this));
  window_ = new QComboBox(this);
  for (std::string_view choice : chart_texts::kWindowChoices) window_->addItem(Q(choice));
  bar->addWidget(window_);
  bar->addSpacing(12);
  open_ = new QPushButton(Q(chart_texts::kOpenRecording), this);
  live_button_ = new QPushButton(Q(chart_texts::kLive), this);
  live_button_->setEnabled(false);
  bar->addWidget(open_);
  bar->addWidget(live_button_);
  bar->addSpacing(12);
  message_ = new QLabel(this);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  message_->setMinimumWidth(100);
  bar->addWidget(message_, 1);

  auto* lanes = new QVBoxLayout;
  lanes->setContentsMargins(0, 0, 0, 0);
  lanes->setSpacing(3);
  placeholder_ = new QLabel(Q(chart_texts::kNoLiveData), this);
  placeholder_->setAlignment(Qt::AlignCenter);
  placeholder_->setStyleSheet(QStringLiteral("color: #80868b;"));
  lanes->addWidget(placeholder_, 1);
  for (int c = 0; c < recording::kValueColumns; ++c) {
    lanes_[static_cast<size_t>(c)] = new ChartLane(c, kColours[static_cast<size_t>(c)], this);
    lanes_[static_cast<size_t>(c)]->hide();
    lanes->addWidget(lanes_[static_cast<size_t>(c)], 1);
  }
  ruler_ = new TimeRuler(this);
  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 6);
  layout->setSpacing(2);
  layout->addLayout(bar);
  layout->addLayout(lanes, 1);
  layout->addWidget(ruler_);
  auto* scroll_row = new QHBoxLayout;
  scroll_row->setContentsMargins(ChartLane::kLabelWidth + ChartLane::kAxisWidth, 0,
                                 ChartLane::kRightMargin, 0);
  scroll_row->addWidget(scroll_);
  layout->addLayout(scroll_row);

  connect(window_, &QComboBox::currentIndexChanged, this, [this](int i) { WindowChosen(i); });
  connect(open_, &QPushButton::clicked, this, [this] { OpenRecordingDialog(); });
  connect(live_button_, &QPushButton::clicked, this, [this] { ShowLive(); });
  connect(scroll_, &QScrollBar::valueChanged, this, [this] { Refresh(); });
  connect(&timer_, &QTimer::timeout, this, [this] { Refresh(); });
  ShowMessage(Q(chart_texts::kLiveData), false);
  timer_.start(kRedrawMs);
}

ChartPanel::~ChartPanel() = default;

void ChartPanel::AddLiveRow(int64_t t_ms,
                            const std::array<std::string_view, recording::kValueColumns>& texts) {
  live_.Append(recording::SampleFromReadouts(t_ms, texts));
}

void ChartPanel::ClearLive() { live_.Clear(); }

const recording::LiveSeries& ChartPanel::Shown() const {
  return showing_recording_ ? recording_ : live_;
}

int ChartPanel::visible_lanes() const {
  return static_cast<int>(
      std::count_if(lanes_.begin(), lanes_.end(), [](ChartLane* l) { return !l->isHidden(); }));
}

void ChartPanel::ShowMessage(const QString& text, bool error) {
  message_->setText(text);
  message_->setStyleSheet(error ? QStringLiteral("color: #c5221f; font-weight: 600;")
                                : QStringLiteral("color: #5f6368;"));
}

void ChartPanel::OpenRecordingDialog() {
  const QString path = QFileDialog::getOpenFileName(this, Q(chart_texts::kOpenRecordingTitle),
                                                    QString(), Q(chart_texts::kRecordingFilter));
  if (!path.isEmpty()) OpenRecording(path);
}

bool ChartPanel::OpenRecording(const QString& path) {
  recording::LiveSeries loaded(1, 1);
  const recording::RecordingRead read = recording::ReadRecordingFile(path.toStdString(), loaded);
  const QString text =
      QFileInfo(path).fileName() + QStringLiteral(": ") + QString::fromStdString(read.message);
  if (!read.ok) {
    ShowMessage(text, true);
    return false;
  }
  recording_ = std::move(loaded);
  showing_recording_ = true;
  live_button_->setEnabled(true);
  if (window_->count() == static_cast<int>(chart_texts::kWindowChoices.size()))
    window_->addItem(Q(chart_texts::kWholeRecording));
  window_->setCurrentIndex(window_->count() - 1);  // the whole of it first
  WindowChosen(window_->currentIndex());
  ShowMessage(text, false);
  Refresh();
  return true;
}

void ChartPanel::ShowLive() {
  showing_recording_ = false;
  live_button_->setEnabled(false);
  recording_ = recording::LiveSeries(1, 1);
  if (window_->count() > static_cast<int>(chart_texts::kWindowChoices.size())) {
    if (window_->currentIndex() == window_->count() - 1) window_->setCurrentIndex(0);
    window_->removeItem(window_->count() - 1);
  }
  WindowChosen(window_->currentIndex());
  ShowMessage(Q(chart_texts::kLiveData), false);
  Refresh();
}

void ChartPanel::SetWindowMinutes(int minutes) {
  for (size_t i = 0; i < chart_texts::kWindowMinutes.size(); ++i) {
    if (chart_texts::kWindowMinutes[i] == minutes) window_->setCurrentIndex(static_cast<int>(i));
  }
}

void ChartPanel::WindowChosen(int index) {
  whole_recording_ = index >= static_cast<int>(chart_texts::kWindowMinutes.size());
  if (!whole_recording_ && index >= 0)
    window_ms_ = int64_t{chart_texts::kWindowMinutes[static_cast<size_t>(index)]} * 60'000;
  UpdateScrollBar();
  Refresh();
}

void ChartPanel::UpdateScrollBar() {
  const bool pannable = showing_recording_ && !whole_recording_ && !recording_.empty() &&
                        recording_.back().t_ms - recording_.at(0).t_ms > window_ms_;
  scroll_->setVisible(pannable);
  if (!pannable) return;
  const int64_t first = recording_.at(0).t_ms;
  const int64_t last = recording_.back().t_ms;
  // Seconds are fine enough to pan by and keep the range in an int for 68 years.
  scroll_->setRange(static_cast<int>(first / 1000), static_cast<int>((last - window_ms_) / 1000));
  scroll_->setPageStep(static_cast<int>(window_ms_ / 1000));
  scroll_->setSingleStep(std::max(1, static_cast<int>(window_ms_ / 10000)));
}

void ChartPanel::Refresh() {
  const recording::LiveSeries& s = Shown();
  const int width = lanes_[0]->PlotWidth();
  int64_t from = 0, to = window_ms_;
  if (showing_recording_ && !s.empty()) {
    if (whole_recording_) {
      from = s.at(0).t_ms;
      to = std::max(s.back().t_ms, from + 1000);
    } else {
      from = scroll_->isVisible() ? int64_t{scroll_->value()} * 1000 : s.at(0).t_ms;
      to = from + window_ms_;
    }
  } else if (!s.empty()) {
    // The window fills from the left, then moves in whole pixels with the newest
    // row at its right edge: with 15 minutes that is about once a second.
    const int64_t ms_per_px = std::max<int64_t>(1, window_ms_ / std::max(1, width));
    to = std::max(window_ms_, (s.back().t_ms + ms_per_px - 1) / ms_per_px * ms_per_px);
    from = to - window_ms_;
  }

  unsigned visible = 0;
  for (int c = 0; c < recording::kValueColumns; ++c) {
    if (s.HasValues(c)) visible |= 1u << c;
  }
  // A picture is drawn again only when it would look different.
  const DrawnKey key{showing_recording_,
                     from,
                     to,
                     width,
                     visible,
                     showing_recording_ || to == window_ms_ ? s.version() : 0};
  if (key == drawn_) return;
  drawn_ = key;
  ++redraws_;

  const int64_t tick = TimeTickMs(to - from);
  for (int c = 0; c < recording::kValueColumns; ++c) {
    ChartLane* lane = lanes_[static_cast<size_t>(c)];
    const bool show = (visible >> c) & 1u;
    if (lane->isHidden() == show) lane->setVisible(show);
    if (show) lane->Draw(s, from, to, tick);
  }
  placeholder_->setVisible(visible == 0);
  ruler_->setVisible(visible != 0);
  ruler_->SetRange(from, to, tick);
}

}  // namespace velarin::gui
