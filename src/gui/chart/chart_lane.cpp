#include "gui/chart/chart_lane.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gui/chart/chart_scale.h"

namespace velarin::gui {
namespace {

constexpr int kPlotTop = 8;
constexpr int kPlotBottom = 8;
const QColor kGrid(0xE4, 0xE6, 0xEA);
const QColor kFrame(0xC4, 0xC8, 0xCE);
const QColor kAxisText(0x5F, 0x63, 0x68);

// Cosmetic pens one pixel wide take the raster engine's fast path for lines.
QPen GridPen() {
  QPen pen(kGrid, 1);
  return pen;
}

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// Keeps the plot at the same place in every lane whatever its labels' widths,
// and draws the plot's background and value labels itself: Qt's own follow its
// automatic layout, not a plot area placed by hand (labels get elided or dropped).
class LaneView : public QChartView {
 public:
  using QChartView::QChartView;
  ValueRange range{0, 1, 1, 0};

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QChartView::resizeEvent(event);
    const QSize s = event->size();
    chart()->setPlotArea(QRectF(ChartLane::kAxisWidth, kPlotTop,
                                s.width() - ChartLane::kAxisWidth - ChartLane::kRightMargin,
                                s.height() - kPlotTop - kPlotBottom));
  }
  // Qt's own plot background keeps the place its automatic layout gave it.
  void drawBackground(QPainter* p, const QRectF&) override {
    p->setRenderHint(QPainter::Antialiasing, false);  // on whole pixels: the plain fill is faster
    p->setPen(QPen(kFrame, 1));
    p->setBrush(Qt::white);
    p->drawRect(chart()->plotArea());
  }
  void drawForeground(QPainter* p, const QRectF&) override {
    const QRectF plot = chart()->plotArea();
    const double span = range.high - range.low;
    if (span <= 0) return;
    p->setFont(font());
    p->setPen(kAxisText);
    const double h = fontMetrics().height();
    const int steps = static_cast<int>(std::lround(span / range.step));
    for (int i = 0; i <= steps; ++i) {
      const double v = range.low + i * range.step;
      const double y = plot.bottom() - (v - range.low) / span * plot.height();
      QRectF box(0, y - h / 2, plot.left() - 6, h);
      if (box.top() < 0) box.moveTop(0);
      if (box.bottom() > height()) box.moveBottom(height());
      p->drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'f', range.decimals));
    }
  }
};

ChartLane::ChartLane(int column, QColor color, QWidget* parent)
    : QWidget(parent), column_(column), color_(color) {
  const recording::ColumnInfo& info = recording::kColumns[static_cast<size_t>(column)];
  auto* labels = new QWidget(this);
  labels->setFixedWidth(kLabelWidth);
  auto* label_layout = new QVBoxLayout(labels);
  label_layout->setContentsMargins(10, 2, 4, 2);
  label_layout->setSpacing(0);
  caption_ = new QLabel(Q(info.caption), labels);
  QFont caption_font = caption_->font();
  caption_font.setPointSizeF(caption_font.pointSizeF() * 0.95);
  caption_->setFont(caption_font);
  caption_->setStyleSheet(QStringLiteral("color: #3c4043;"));
  // Plain labels: a rich text one would lay out HTML four times a second.
  value_ = new QLabel(labels);
  value_->setTextFormat(Qt::PlainText);
  QFont value_font = value_->font();
  value_font.setPointSizeF(15);
  value_font.setWeight(QFont::DemiBold);
  value_->setFont(value_font);
  value_->setStyleSheet(QStringLiteral("color: %1;").arg(color_.name()));
  auto* unit = new QLabel(Q(info.unit), labels);
  unit->setStyleSheet(QStringLiteral("color: #5f6368;"));
  auto* value_row = new QHBoxLayout;
  value_row->setSpacing(4);
  value_row->addWidget(value_, 0, Qt::AlignBaseline);
  value_row->addWidget(unit, 0, Qt::AlignBaseline);
  value_row->addStretch(1);
  label_layout->addStretch(1);
  label_layout->addWidget(caption_);
  label_layout->addLayout(value_row);
  label_layout->addStretch(1);

  chart_ = new QChart();
  chart_->legend()->hide();
  chart_->setMargins(QMargins(0, 0, 0, 0));
  chart_->setBackgroundRoundness(0);
  chart_->setBackgroundVisible(false);

  line_ = new QLineSeries(chart_);
  QPen pen(color_, 1.5);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::BevelJoin);
  line_->setPen(pen);
  chart_->addSeries(line_);

  QFont axis_font = font();
  axis_font.setPointSizeF(axis_font.pointSizeF() * 0.8);
  x_ = new QValueAxis(chart_);
  x_->setLabelsVisible(false);
  x_->setLineVisible(false);
  x_->setGridLinePen(GridPen());
  x_->setTickType(QValueAxis::TicksDynamic);
  x_->setTickAnchor(0);
  y_ = new QValueAxis(chart_);
  y_->setLineVisible(false);
  y_->setGridLinePen(GridPen());
  y_->setLabelsVisible(false);
  chart_->addAxis(x_, Qt::AlignBottom);
  chart_->addAxis(y_, Qt::AlignLeft);
  line_->attachAxis(x_);
  line_->attachAxis(y_);

  view_ = new LaneView(chart_, this);
  view_->setFont(axis_font);
  view_->setRenderHint(QPainter::Antialiasing);
  // Every redraw moves the whole picture: one repaint of the view is cheaper than
  // Qt's search for the smallest region (many thin rectangles to clip against).
  view_->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);

  view_->setFrameShape(QFrame::NoFrame);
  view_->setBackgroundBrush(Qt::NoBrush);
  view_->setStyleSheet(QStringLiteral("background: transparent;"));
  view_->setMinimumHeight(40);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(labels);
  layout->addWidget(view_, 1);
  ShowValue(recording::kNoValue);
}

int ChartLane::PlotWidth() const { return std::max(1, view_->width() - kAxisWidth - kRightMargin); }

void ChartLane::Draw(const recording::LiveSeries& series, int64_t from_ms, int64_t to_ms,
                     int64_t tick_ms) {
  // A lowest and a highest value every two pixels: peaks stay, the line stays cheap.
  series.Trace(column_, from_ms, to_ms, std::max(1, PlotWidth() / 2), &trace_);
  float min = INFINITY, max = -INFINITY, last = recording::kNoValue;
  points_.clear();
  points_.reserve(static_cast<qsizetype>(trace_.size()));
  for (const recording::TracePoint& p : trace_) {
    points_.append(QPointF(static_cast<double>(p.t_ms) / 1000.0, p.value));
    if (p.t_ms >= from_ms && p.t_ms <= to_ms) {
      min = std::min(min, p.value);
      max = std::max(max, p.value);
    }
    if (p.t_ms <= to_ms) last = p.value;
  }
  if (min > max && !std::isnan(last)) min = max = last;  // one point just left of the window
  // A label every 26 pixels of height at most, so that they stay apart.
  const int steps = std::clamp((view_->height() - kPlotTop - kPlotBottom) / 26, 2, 4);
  const ValueRange r =
      NiceRange(min, max, recording::kColumns[static_cast<size_t>(column_)].min_span, steps);
  y_->setRange(r.low, r.high);
  y_->setTickCount(static_cast<int>(std::lround((r.high - r.low) / r.step)) + 1);
  if (!(r == view_->range)) {  // the labels beside the plot change too
    view_->range = r;
    view_->viewport()->update();
  }
  x_->setTickInterval(static_cast<double>(tick_ms) / 1000.0);
  x_->setRange(static_cast<double>(from_ms) / 1000.0, static_cast<double>(to_ms) / 1000.0);
  line_->replace(points_);
  ShowValue(last);
}

void ChartLane::ShowValue(float value) {
  // Seven digits give back the readout's own text (3.174, 13.875, 0.64).
  value_->setText(std::isnan(value) ? QStringLiteral("\u2013")
                                    : QString::number(static_cast<double>(value), 'g', 7));
}

}  // namespace velarin::gui
