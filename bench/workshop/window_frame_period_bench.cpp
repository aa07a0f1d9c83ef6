// The live-data frame period of the whole window program (protocol thread on the
// real clock, simulated ECU on a pseudo-terminal, window on Qt's offscreen
// platform) with the window's recording and chart off, then with both on. Rows
// are written and charted on the window's thread, so the two periods must match
// within the jitter of the sleeps. Prints both, per family.

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gui/chart/chart_panel.h"
#include "gui/gui_session.h"

namespace {

using velarin::EcuFamily;
using velarin::gui::GuiSession;

constexpr int kSettleMs = 1500;  // after the first read: the link is up and steady
constexpr int kMeasureMs = 8000;

void Wait(const std::function<bool()>& done) {
  for (int i = 0; i < 3000 && !done(); ++i) QTest::qWait(10);
}

// The mean gap between reads over kMeasureMs, taken from the chart's own series
// (stamped with the protocol thread's clock when each read ended).
double MeanFramePeriodMs(EcuFamily family, bool record_and_chart, const std::string& dir) {
  velarin::gui::GuiLoopOptions options;
  options.simulate = true;
  options.ecu = family;
  options.settings = dir + "/bench.ini";
  GuiSession session(options, {}, [] { return velarin::ports::PortList{}; });
  QString error;
  if (!session.Start(&error)) return -1;
  velarin::gui::WorkshopTools& tools = *session.workshop();
  if (record_and_chart) {
    tools.chart_dock().show();
    tools.record().StartInto(dir + "/bench.csv");
  }
  session.main_view().Check2->click();
  const auto& live = tools.chart()->live();
  Wait([&] { return !live.empty(); });
  QTest::qWait(kSettleMs);
  const size_t first = live.size();
  const int64_t t0 = live.back().t_ms;
  QTest::qWait(kMeasureMs);
  const size_t frames = live.size() - first;
  const int64_t t1 = live.back().t_ms;
  session.Stop();
  return frames == 0 ? -1 : static_cast<double>(t1 - t0) / static_cast<double>(frames);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  GuiSession::ConfigureApplication();
  const std::string dir = (std::filesystem::temp_directory_path() /
                           ("velarin-bench-" + std::to_string(QCoreApplication::applicationPid())))
                              .string();
  std::filesystem::create_directories(dir);
  std::printf("window frame period, mean over %d s (ms): recording and chart off / on\n",
              kMeasureMs / 1000);
  for (EcuFamily family : {EcuFamily::Ecu15m, EcuFamily::Ecu16m, EcuFamily::EcuP8}) {
    const double off = MeanFramePeriodMs(family, false, dir);
    const double on = MeanFramePeriodMs(family, true, dir);
    std::printf("  %-5s %7.1f  %7.1f  (%+.1f %%)\n",
                std::string(velarin::FactsOf(family).caption).c_str(), off, on,
                off > 0 ? (on - off) / off * 100.0 : 0.0);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
