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
#include "frontend/options.h"
#include "frontend/stop_signals.h"
#include "frontend/texts.h"
#include "frontend/tools_texts.h"
#include "gui/gui_session.h"

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

}  // namespace

int main(int argc, char** argv) {
  using namespace velarin;
  using namespace velarin::frontend;

  constexpr Program kProgram = Program::kWindow;
  if (!HaveDisplay()) {
    const ParseResult parsed = ParseArgs(kProgram, std::vector<std::string>(argv, argv + argc));
    if (std::optional<int> code = ExitBeforeRunning(kProgram, parsed, std::cout, std::cerr)) {
      return *code;
    }
    std::cerr << texts::kGuiName << ": " << texts::kNoDisplay << std::endl;
    // Only the simulator: Connect is pressed without the user, so no real ECU is woken.
    Options cli;
    cli.simulate = true;
    cli.ecu = parsed.options->ecu;
    cli.replay = parsed.options->replay;
    cli.capture = parsed.options->capture;
    cli.settings = parsed.options->settings;
    return RunCliMain(cli, std::cout, std::cerr);
  }

  // Ctrl-C in the terminal ends the program as closing the window does (port closed).
  StopSignals stop_signals([] {
    if (QCoreApplication* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(
          app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
  });
  QApplication qt(argc, argv);
  gui::GuiSession::ConfigureApplication();
  std::vector<std::string> args;
  for (const QString& arg : QApplication::arguments()) args.push_back(arg.toStdString());
  const ParseResult parsed = ParseArgs(kProgram, args);
  if (std::optional<int> code = ExitBeforeRunning(kProgram, parsed, std::cout, std::cerr)) {
    return *code;
  }
  gui::GuiSession session({*parsed.options, QLocale().decimalPoint().toStdString()});
  QString error;
  if (!session.Start(&error)) {
    const bool replay = parsed.options->replay.has_value();
    std::cerr << texts::kGuiName << ": "
              << (replay ? tools_texts::kCannotReplay : texts::kSimulatorFailed)
              << error.toStdString() << std::endl;
    return kExitDevice;
  }
  return QApplication::exec();
}
