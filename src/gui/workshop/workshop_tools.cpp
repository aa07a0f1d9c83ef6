#include "gui/workshop/workshop_tools.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <string_view>

#include "connection/connection_texts.h"
#include "connection/settings.h"
#include "gui/workshop/workshop_texts.h"
#include "platform/clock.h"
#include "ui/main_window.h"
#ifdef VELARIN_HAVE_CHART
#include "gui/chart/chart_panel.h"
#endif

namespace velarin::gui {
namespace {

QString U(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kWidthWithChart = 1480;  // the window grows once to make room for the chart

}  // namespace

namespace wt = workshop_texts;
namespace ct = velarin::texts;

WorkshopTools::WorkshopTools(MainWindowView& window, GuiLoop& loop, WorkshopOptions options)
    : window_(window), loop_(loop), options_(std::move(options)) {
  const std::string path = options_.settings_path;
  auto store = [this, path](std::string_view section, std::string_view key, std::string value) {
    loop_.Post([path, section, key, value = std::move(value)](App&) {
      EcrireINI(path, section, key, value);
    });
  };

  toolbar_ = new QToolBar(U(wt::kToolBar), &window_);
  toolbar_->setObjectName(QStringLiteral("workshop"));
  window_.addToolBar(Qt::TopToolBarArea, toolbar_);
  view_menu_ = window_.menuBar()->addMenu(U(wt::kViewMenu));

  record_ = new RecordControl(&window_, LireINI(path, ct::kSectionRecording, ct::kKeyRecordFolder),
                              [store](const std::string& folder) {
                                store(ct::kSectionRecording, ct::kKeyRecordFolder, folder);
                              });
  toolbar_->addAction(record_->action());
  auto* folder_button = new QToolButton(toolbar_);
  folder_button->setText(U(wt::kRecordFolder));
  folder_button->setMenu(record_->folder_menu());
  folder_button->setPopupMode(QToolButton::InstantPopup);
  toolbar_->addWidget(folder_button);
  window_.statusBar()->addPermanentWidget(record_->status());

#ifdef VELARIN_HAVE_CHART
  chart_ = new ChartPanel;
  chart_dock_ = new QDockWidget(U(wt::kChart), &window_);
  chart_dock_->setObjectName(QStringLiteral("chart"));
  chart_dock_->setWidget(chart_);
  window_.addDockWidget(Qt::RightDockWidgetArea, chart_dock_);
  chart_dock_->hide();
  QAction* show_chart = chart_dock_->toggleViewAction();
  show_chart->setText(U(wt::kChart));
  toolbar_->addSeparator();
  toolbar_->addAction(show_chart);
  view_menu_->addAction(show_chart);
  QObject::connect(chart_dock_, &QDockWidget::visibilityChanged, &window_, [this](bool shown) {
    if (!shown || widened_ || chart_dock_->isFloating()) return;
    widened_ = true;
    if (window_.width() < kWidthWithChart) window_.resize(kWidthWithChart, window_.height());
  });
#endif
  view_menu_->addAction(toolbar_->toggleViewAction());

  picker_ = new PortPicker(&window_, LireINI(path, ct::kSectionHardware, ct::kKeyAdapter),
                           options_.lister);
  picker_->on_chosen = [this](const ports::PortChoice& c) { UseAdapter(c, true); };
  window_.AddBesideCom(picker_);
  if (options_.simulate) picker_->setToolTip(U(wt::kSimulatedTip));
  // The remembered adapter fills the port, unless the command line chose one.
  const ports::PortChoice& remembered = picker_->selected();
  if (!options_.port_given && !remembered.identity.empty() && remembered.present)
    UseAdapter(remembered, false);
}

WorkshopTools::~WorkshopTools() = default;

void WorkshopTools::UseAdapter(const ports::PortChoice& c, bool remember) {
  loop_.Post([c, remember, path = options_.settings_path](App& app) {
    if (remember) EcrireINI(path, ct::kSectionHardware, ct::kKeyAdapter, c.identity);
    if (!c.present || c.identity.empty()) {
      // Back to the "Com" number, or an adapter that is not plugged in: nothing to fill.
      if (c.identity.empty()) app.protocol.MSComm1.device_path.clear();
      return;
    }
    // "Com" keeps its meaning: a port it can name goes there; any other by its path.
    if (c.com) {
      app.protocol.MSComm1.device_path.clear();
      SetComText(app, std::to_string(*c.com));
    } else {
      app.protocol.MSComm1.device_path = c.system_path;
    }
  });
}

void WorkshopTools::Apply(const Snapshot& s) {
  const bool connected = s.main.Check2.value;
  picker_->setEnabled(!connected && !options_.simulate);
#ifdef VELARIN_HAVE_CHART
  if (connected && !connected_) {
    connected_ms_ =
        s.live_rows.empty() ? s.clock_ms : std::min(s.clock_ms, s.live_rows.front().clock_ms);
    // A reading of the connection before: the ECU may differ now.
    chart_->ClearLive();
  }
  for (const LiveRow& row : s.live_rows) {
    std::array<std::string_view, recording::kValueColumns> texts;
    for (size_t i = 0; i < texts.size(); ++i) texts[i] = row.readouts[i];
    chart_->AddLiveRow(Elapsed(connected_ms_, row.clock_ms), texts);
  }
#endif
  connected_ = connected;
  record_->Apply(s);
}

void WorkshopTools::Finish() { record_->Finish(); }

}  // namespace velarin::gui
