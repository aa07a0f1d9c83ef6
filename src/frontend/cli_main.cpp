#include "frontend/cli_main.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>

#include "frontend/cli_session.h"
#include "frontend/cli_texts.h"
#include "frontend/simulation.h"
#include "frontend/stop_signals.h"
#include "platform/clock.h"
#include "platform/program_path.h"
#include "platform/serial_device.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin::cli {

int RunCliMain(const CliOptions& options, std::ostream& out, std::ostream& err) {
  std::mutex session_mutex;
  CliSession* session = nullptr;
  // First, so the simulator's threads inherit the blocked signals.
  StopSignals signals([&] {
    std::lock_guard<std::mutex> lock(session_mutex);
    if (session != nullptr) session->RequestStop();
  });

  SystemClock system_clock;
  ObservedClock clock(system_clock);
  std::unique_ptr<SerialDevice> device = MakePlatformSerialDevice();
  App app;
  EventLoop loop(app, clock);
  app.settings_path = options.settings ? *options.settings : DefaultSettingsPath();
  app.protocol.MSComm1.device = device.get();
  LoadMainWindow(app);

  CliOutput output{&out, &err, nullptr};
  std::ofstream csv_file;
  if (options.csv) {
    if (*options.csv == "-") {
      // stdout carries the CSV alone; the other lines move to stderr.
      output.csv = &out;
      output.lines = &err;
    } else {
      csv_file.open(*options.csv, std::ios::binary | std::ios::trunc);
      if (!csv_file) {
        err << texts::kCliName << ": " << texts::kCannotWriteCsv << *options.csv << ": "
            << std::strerror(errno) << std::endl;
        return kExitDevice;
      }
      output.csv = &csv_file;
    }
    *output.csv << texts::kCsvHeader << "\r\n";
    output.csv->flush();
  }

  Simulation simulation(clock);
  if (options.simulate) {
    const EcuFamily family =
        options.ecu.value_or(SelectedFamily(app.form2).value_or(EcuFamily::Ecu15m));
    std::string why;
    if (!simulation.Start(app, family, &why)) {
      err << texts::kCliName << ": " << texts::kSimulatorFailed << why << std::endl;
      return kExitDevice;
    }
  }

  CliSession run(app, loop, clock, options, output, options.simulate ? &simulation : nullptr);
  {
    std::lock_guard<std::mutex> lock(session_mutex);
    session = &run;
  }
  const int code = run.Run();
  {
    std::lock_guard<std::mutex> lock(session_mutex);
    session = nullptr;
  }
  return code;
}

}  // namespace velarin::cli
