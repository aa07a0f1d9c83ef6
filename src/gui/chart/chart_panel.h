#pragma once
// The chart panel: one lane per polled channel over a window of 1, 5 or 15
// minutes of live data, or a recording opened from file. Rows go in as they are
// read; the drawing follows on the panel's own timer at most four times a second,
// and only when the picture moved by a pixel, so that charting every channel
// at the full frame rate stays cheap. Everything here runs on the window's
// thread; nothing waits on the protocol thread.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string_view>

#include "recording/live_series.h"

namespace velarin::gui {

class ChartLane;
class TimeRuler;

class ChartPanel : public QWidget {
 public:
  static constexpr int kRedrawMs = 250;
  static constexpr int64_t kLiveKeepMs = 15 * 60 * 1000;  // the longest window
  static constexpr size_t kLiveMaxRows = 15 * 60 * 50;    // 15 minutes of 20 ms ticks

  explicit ChartPanel(QWidget* parent = nullptr);
  ~ChartPanel() override;

  // One live-data read: the ten readout texts (Text1 elements 0 to 9) at t_ms
  // since Connect. A row older than the last one is dropped.
  void AddLiveRow(int64_t t_ms,
                  const std::array<std::string_view, recording::kValueColumns>& texts);
  // A new connection: the live chart starts empty.
  void ClearLive();

  // Shows the recording at `path` in place of live data. A file that is not a
  // recording leaves the chart as it was; either way the message line says
  // what happened. False when nothing was loaded.
  bool OpenRecording(const QString& path);
  // Back to live data (live rows kept arriving meanwhile).
  void ShowLive();
  bool showing_recording() const { return showing_recording_; }

  // 1, 5 or 15.
  void SetWindowMinutes(int minutes);

  // Draws what changed since the last drawing; the timer calls it.
  void Refresh();

  QString message() const { return message_->text(); }
  int visible_lanes() const;
  const std::array<ChartLane*, recording::kValueColumns>& lanes() const { return lanes_; }
  const recording::LiveSeries& live() const { return live_; }
  int redraws() const { return redraws_; }

 private:
  struct DrawnKey {
    bool recording;
    int64_t from_ms, to_ms;
    int width;
    unsigned visible;
    uint64_t version;
    bool operator==(const DrawnKey&) const = default;
  };

  const recording::LiveSeries& Shown() const;
  void OpenRecordingDialog();
  void WindowChosen(int index);
  void ShowMessage(const QString& text, bool error);
  void UpdateScrollBar();

  recording::LiveSeries live_;
  recording::LiveSeries recording_;
  bool showing_recording_ = false;
  int64_t window_ms_ = 60'000;
  bool whole_recording_ = false;

  QComboBox* window_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* live_button_ = nullptr;
  QLabel* message_ = nullptr;
  QLabel* placeholder_ = nullptr;
  std::array<ChartLane*, recording::kValueColumns> lanes_{};
  TimeRuler* ruler_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  QTimer timer_;
  DrawnKey drawn_{};
  int redraws_ = 0;
};

}  // namespace velarin::gui
