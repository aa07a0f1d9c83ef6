#pragma once
// The time axis under the chart's lanes: "m:ss" since Connect at each tick,
// placed under the lanes' plots.

#include <QWidget>
#include <cstdint>

namespace velarin::gui {

class TimeRuler : public QWidget {
 public:
  explicit TimeRuler(QWidget* parent = nullptr);
  void SetRange(int64_t from_ms, int64_t to_ms, int64_t tick_ms);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int64_t from_ms_ = 0;
  int64_t to_ms_ = 60000;
  int64_t tick_ms_ = 10000;
};

}  // namespace velarin::gui
