#include "frontend/session.h"

#include "forms/ecu_family.h"
#include "platform/program_path.h"
#include "ui/main_window.h"

namespace velarin::frontend {

void ApplyWindowOptions(App& app, const Options& options) {
  const Form2& f = app.form2;
  if (options.ecu) ClickFamily(app, *options.ecu);
  if (options.com) SetComText(app, *options.com);
  if (options.device) app.protocol.MSComm1.device_path = *options.device;
  if (options.no_ecu_data && f.Check3.value) ClickCheck3(app);
  if (options.calibration && !f.Check4.value) ClickCheck4(app);
}

Session::Session()
    : clock_(system_clock_),
      device_(MakePlatformSerialDevice()),
      loop_(app_, clock_),
      simulation_(clock_),
      capture_([this] {
        const std::optional<EcuFamily> family = SelectedFamily(app_.form2);
        return family ? FamilyNoteValue(*family) : std::string();
      }) {
  simulation_.OnAttach([this](LinkPort& port) { capture_.Attach(port); });
}

Session::~Session() = default;

void Session::Load(const Options& options) {
  app_.settings_path = options.settings ? *options.settings : DefaultSettingsPath();
  app_.protocol.MSComm1.device = device_.get();
  app_.observer = &journal_;
  capture_.Attach(app_.protocol.MSComm1);
  WireMainLoop(loop_, app_);
  LoadMainWindow(app_);
  ApplyWindowOptions(app_, options);
  replay_path_ = options.replay;
  family_given_ = options.ecu.has_value();
}

bool Session::StartSimulator(std::string* error) {
  if (replay_path_) {
    std::shared_ptr<Replay> replay = Replay::Load(*replay_path_, error);
    if (!replay) return false;
    if (!family_given_ && replay->family()) ClickFamily(app_, *replay->family());
    simulating_ = simulation_.StartReplay(app_, std::move(replay), error);
    return simulating_;
  }
  const EcuFamily family = SelectedFamily(app_.form2).value_or(kOpeningFamily);
  simulating_ = simulation_.Start(app_, family, error);
  return simulating_;
}

AdapterCheckRun Session::CheckAdapter() {
  return CheckAdapterOnPort(app_, clock_, MonotonicMicros);
}

void Session::PressConnectSwitch() { frontend::PressConnectSwitch(app_, simulation()); }

}  // namespace velarin::frontend
