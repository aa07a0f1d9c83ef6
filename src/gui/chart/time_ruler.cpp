#include "gui/chart/time_ruler.h"

#include <QPainter>
#include <algorithm>

#include "gui/chart/chart_lane.h"
#include "gui/chart/chart_scale.h"
#include "gui/chart/chart_texts.h"

namespace velarin::gui {

TimeRuler::TimeRuler(QWidget* parent) : QWidget(parent) {
  QFont f = font();
  f.setPointSizeF(f.pointSizeF() * 0.8);
  setFont(f);
}

void TimeRuler::SetRange(int64_t from_ms, int64_t to_ms, int64_t tick_ms) {
  if (from_ms == from_ms_ && to_ms == to_ms_ && tick_ms == tick_ms_) return;
  from_ms_ = from_ms;
  to_ms_ = std::max(to_ms, from_ms + 1);
  tick_ms_ = std::max<int64_t>(tick_ms, 1);
  update();
}

QSize TimeRuler::sizeHint() const { return {400, fontMetrics().height() + 8}; }

void TimeRuler::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QColor(0x5F, 0x63, 0x68));
  const int left = ChartLane::kLabelWidth + ChartLane::kAxisWidth;
  const int right = width() - ChartLane::kRightMargin;
  const QRect caption(10, 0, ChartLane::kLabelWidth, height());
  p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8(chart_texts::kTimeAxis.data(),
                               static_cast<qsizetype>(chart_texts::kTimeAxis.size())));
  const double span = static_cast<double>(to_ms_ - from_ms_);
  int64_t t = from_ms_ >= 0 ? (from_ms_ + tick_ms_ - 1) / tick_ms_ * tick_ms_
                            : -(-from_ms_ / tick_ms_) * tick_ms_;
  for (; t <= to_ms_; t += tick_ms_) {
    const int x =
        left + static_cast<int>(static_cast<double>(t - from_ms_) / span * (right - left));
    const QString label = QString::fromStdString(TimeLabel(t));
    const int w = fontMetrics().horizontalAdvance(label);
    p.drawLine(x, 0, x, 3);
    // Centred under its tick, but kept inside the ruler at the right end.
    const int label_left = std::min(x - w / 2 - 2, width() - w - 4);
    p.drawText(QRect(label_left, 3, w + 4, height() - 3), Qt::AlignCenter, label);
  }
}

}  // namespace velarin::gui
