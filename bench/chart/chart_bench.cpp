// The chart panel's cost on the window's thread: every channel charted at the
// full frame rate (a row every 130 ms) for minutes of simulated time, drawn on
// Qt's offscreen platform with the panel's own throttle (a look every 250 ms).
// Prints the thread's CPU time as a share of one core per window length; the
// target is under 5 %.

#include <time.h>

#include <QApplication>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/chart/chart_panel.h"
#include "support/simulated_readouts.h"

namespace {

constexpr int64_t kFramePeriodMs = 130;
constexpr int64_t kMeasuredMs = 3 * 60 * 1000;

double ThreadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

using Row = std::array<std::string, 10>;

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  // Values of a simulated 15Rc (all ten readouts), replayed at the frame period.
  std::vector<Row> rows;
  velarin::testing::RunSimulatedConnection(velarin::EcuFamily::Ecu15Rc, 10 * 60 * 1000,
                                           [&](int64_t, const auto& texts) {
                                             Row row;
                                             for (size_t i = 0; i < row.size(); ++i)
                                               row[i] = texts[i];
                                             rows.push_back(row);
                                           });

  velarin::gui::ChartPanel panel;
  panel.resize(1100, 760);
  panel.show();
  QApplication::processEvents();
  std::printf("chart: 10 channels, a row every %lld ms, redraw look every %d ms, %dx%d, %s\n",
              static_cast<long long>(kFramePeriodMs), velarin::gui::ChartPanel::kRedrawMs,
              panel.width(), panel.height(), qgetenv("QT_QPA_PLATFORM").constData());
  for (int minutes : {1, 5, 15}) {
    panel.ClearLive();
    panel.SetWindowMinutes(minutes);
    const int64_t window_ms = int64_t{minutes} * 60'000;
    // The window is full before the measurement starts: that is the steady state.
    const int64_t end_ms = window_ms + kMeasuredMs;
    double cpu_start = 0, refresh_ms = 0, paint_ms = 0;
    int redraws_start = 0;
    int64_t next_look = 0;
    size_t i = 0;
    for (int64_t t = 0; t <= end_ms; t += kFramePeriodMs, ++i) {
      if (t >= window_ms && cpu_start == 0) {
        cpu_start = ThreadCpuMs();
        redraws_start = panel.redraws();
      }
      const Row& row = rows[i % rows.size()];
      std::array<std::string_view, 10> texts;
      for (size_t c = 0; c < texts.size(); ++c) texts[c] = row[c];
      panel.AddLiveRow(t, texts);
      if (t >= next_look && t >= window_ms) {
        const double a = ThreadCpuMs();
        panel.Refresh();
        const double b = ThreadCpuMs();
        QApplication::processEvents();  // paints what the refresh changed
        refresh_ms += b - a;
        paint_ms += ThreadCpuMs() - b;
      }
      if (t >= next_look) next_look += velarin::gui::ChartPanel::kRedrawMs;
    }
    const double cpu_ms = ThreadCpuMs() - cpu_start;
    std::printf(
        "window %2d min: %.2f %% of a core (%.1f s CPU over %lld s simulated: %.1f s series and "
        "axes, %.1f s painting; %d redraws)\n",
        minutes, 100.0 * cpu_ms / static_cast<double>(kMeasuredMs), cpu_ms / 1000,
        static_cast<long long>(kMeasuredMs / 1000), refresh_ms / 1000, paint_ms / 1000,
        panel.redraws() - redraws_start);
  }
  return 0;
}
