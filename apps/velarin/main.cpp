// velarin: the window program. Without a display it says so and runs the
// command-line front end against the simulated ECU instead.

#include <QApplication>
#include <QLocale>
#include <QMetaObject>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "frontend/cli_main.h"
#include "frontend/cli_options.h"
#include "frontend/cli_session.h"
#include "frontend/cli_texts.h"
#include "frontend/stop_signals.h"
#include "gui/gui_session.h"
#include "platform/program_path.h"

namespace {

#ifdef _WIN32
bool HaveDisplay() { return true; }  // a Windows session always has its desktop
#else
bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool HaveDisplay() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }
#endif

// --help and usage errors end the program before anything runs: the exit code then.
std::optional<int> ExitBeforeRunning(
    const velarin::cli::ParseResult<velarin::cli::GuiOptions>& parsed) {
  if (parsed.help) {
    std::cout << velarin::cli::texts::kGuiUsage;
    return velarin::cli::kExitOk;
  }
  if (!parsed.options) {
    std::cerr << parsed.error << std::endl;
    return velarin::cli::kExitUsage;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velarin;
  using namespace velarin::cli;

  if (!HaveDisplay()) {
    const ParseResult<GuiOptions> parsed =
        ParseGuiArgs(std::vector<std::string>(argv, argv + argc));
    if (std::optional<int> exit_code = ExitBeforeRunning(parsed)) return *exit_code;
    std::cerr << texts::kGuiName << ": " << texts::kNoDisplay << std::endl;
    // Only the simulator: Connect is pressed without the user, so no real ECU is woken.
    CliOptions cli;
    cli.simulate = true;
    cli.ecu = parsed.options->simulate_family;
    cli.settings = parsed.options->settings;
    return RunCliMain(cli, std::cout, std::cerr);
  }

  // Ctrl-C in the terminal ends the program as closing the window does (port closed).
  velarin::cli::StopSignals stop_signals([] {
    if (QCoreApplication* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(
          app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
  });
  QApplication qt(argc, argv);
  gui::GuiSession::ConfigureApplication();
  std::vector<std::string> args;
  for (const QString& arg : QApplication::arguments()) args.push_back(arg.toStdString());
  const ParseResult<GuiOptions> parsed = ParseGuiArgs(args);
  if (std::optional<int> exit_code = ExitBeforeRunning(parsed)) return *exit_code;
  const GuiOptions& o = *parsed.options;
  gui::GuiLoopOptions options;
  options.settings_path = o.settings ? *o.settings : DefaultSettingsPath();
  options.device_path = o.device.value_or("");
  options.com = o.com.value_or("");
  options.simulate = o.simulate;
  options.simulate_family = o.simulate_family;
  options.decimal_separator = QLocale().decimalPoint().toStdString();
  gui::GuiSession session(options);
  QString error;
  if (!session.Start(&error)) {
    std::cerr << texts::kGuiName << ": " << texts::kSimulatorFailed << error.toStdString()
              << std::endl;
    return kExitDevice;
  }
  return QApplication::exec();
}
