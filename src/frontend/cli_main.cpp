#include "frontend/cli_main.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>

#include "frontend/cli_session.h"
#include "frontend/session.h"
#include "frontend/stop_signals.h"
#include "frontend/texts.h"
#include "frontend/tools_texts.h"
#include "ports/port_list.h"
#include "ports/port_text.h"
#include "recording/recording_columns.h"
#include "report/report_file.h"

namespace velarin::frontend {

int RunCliMain(const Options& options, std::ostream& out, std::ostream& err) {
  if (options.list_ports) {
    out << ports::PortListText(ports::ListSerialPorts());
    out.flush();
    return kExitOk;
  }
  std::mutex session_mutex;
  CliSession* session = nullptr;
  // First, so the simulator's threads inherit the blocked signals.
  StopSignals signals([&] {
    std::lock_guard<std::mutex> lock(session_mutex);
    if (session != nullptr) session->RequestStop();
  });

  Session running;
  running.Load(options);

  // A capture that cannot be replayed stops the run before any port is opened.
  if (options.simulate) {
    std::string why;
    if (!running.StartSimulator(&why)) {
      err << texts::kCliName << ": "
          << (options.replay ? tools_texts::kCannotReplay : texts::kSimulatorFailed) << why
          << std::endl;
      return kExitDevice;
    }
  }
  if (options.capture) {
    std::string why;
    if (!running.capture().Start(*options.capture, texts::kCliName, &why)) {
      err << texts::kCliName << ": " << why << std::endl;
      return kExitDevice;
    }
  }
  if (options.check_adapter) {
    const AdapterCheckRun check = running.CheckAdapter();
    for (const std::string& line : check.lines) out << line << '\n';
    out.flush();
    return AdapterCheckExitCode(check);
  }

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
    *output.csv << recording::kCsvHeader << "\r\n";
    output.csv->flush();
  }

  CliSession run(running.app(), running.loop(), running.clock(), options, output,
                 running.simulation());
  run.SetNotices([&running] {
    std::vector<std::string> lines;
    if (Simulation* simulation = running.simulation()) lines = simulation->TakeReplayNotes();
    if (std::string failure = running.capture().TakeFailure(); !failure.empty())
      lines.push_back(std::move(failure));
    return lines;
  });
  {
    std::lock_guard<std::mutex> lock(session_mutex);
    session = &run;
  }
  int code = run.Run();
  {
    std::lock_guard<std::mutex> lock(session_mutex);
    session = nullptr;
  }
  if (options.service_report) {
    bool written = false;
    const std::string message = report::WriteServiceReport(running.journal(), running.app(),
                                                           *options.service_report, &written);
    if (written) {
      *output.lines << texts::kReportPrefix << message << std::endl;
    } else {
      err << texts::kCliName << ": " << message << std::endl;
      if (code == kExitOk) code = kExitDevice;
    }
  }
  return code;
}

}  // namespace velarin::frontend
