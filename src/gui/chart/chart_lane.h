#pragma once
// One channel of the chart: its caption, the value at the right edge with its
// unit, and its trace with a value axis of its own. Every lane puts its plot at
// the same place, so that the lanes share one time axis.

#include <QChart>
#include <QChartView>
#include <QColor>
#include <QLabel>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QValueAxis>
#include <QWidget>
#include <vector>

#include "recording/live_series.h"

namespace velarin::gui {

class LaneView;

class ChartLane : public QWidget {
 public:
  static constexpr int kLabelWidth = 150;  // caption and value, left of the plot
  static constexpr int kAxisWidth = 48;    // the value axis' labels
  static constexpr int kRightMargin = 12;

  ChartLane(int column, QColor color, QWidget* parent = nullptr);

  // Draws the column over [from_ms, to_ms] with time ticks every tick_ms, and
  // shows the last value at or before to_ms.
  void Draw(const recording::LiveSeries& series, int64_t from_ms, int64_t to_ms, int64_t tick_ms);
  // Width of the plot in pixels.
  int PlotWidth() const;

  QLineSeries* line() const { return line_; }
  QString value_text() const { return value_->text(); }

 private:
  void ShowValue(float value);

  int column_;
  QColor color_;
  QLabel* caption_ = nullptr;
  QLabel* value_ = nullptr;
  LaneView* view_ = nullptr;
  QChart* chart_ = nullptr;
  QLineSeries* line_ = nullptr;
  QValueAxis* x_ = nullptr;
  QValueAxis* y_ = nullptr;
  std::vector<recording::TracePoint> trace_;
  QList<QPointF> points_;
};

}  // namespace velarin::gui
