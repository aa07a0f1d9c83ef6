// velarin-cli --service-report against its simulated ECU: the report of what the
// run did is written at its end, and a file that cannot be written says so once.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/child_process.h"

namespace velarin::testing {
namespace {

constexpr int kRunTimeoutMs = 60000;  // only a hung program comes near this

TEST(ServiceReportEndToEnd, WrittenAtTheEndOfTheRunOrOneErrorLine) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("velarin-report-e2e-" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string report = (dir / "report.html").string();
  const std::string settings = (dir / "velarin-cli.ini").string();

  ChildProcess cli;
  ASSERT_TRUE(cli.Start({VELARIN_CLI_PATH, "--simulate", "--ecu", "16m", "--frames", "2", "--dtc",
                         "--test", "clear-dtc", "--dtc", "--trimmer", "200", "--settings", settings,
                         "--service-report", report}));
  ASSERT_EQ(cli.Wait(kRunTimeoutMs), 0) << cli.out << cli.err;
  EXPECT_NE(cli.out.find("report: Service report written: " + report), std::string::npos)
      << cli.out;
  std::string html;
  {  // closed before the folder goes: Windows removes no open file
    std::ifstream file(report, std::ios::binary);
    html.assign(std::istreambuf_iterator<char>(file), {});
  }
  for (const char* part : {"<td>16m</td>", "VLR16M0311", "Fault reports read: 2",
                           "<td>Clear DTC errors</td>", "trimmer set to:73", "<td>rpm</td>"})
    EXPECT_NE(html.find(part), std::string::npos) << part << "\n" << html;
  EXPECT_FALSE(std::filesystem::exists(report + ".tmp"));

  ChildProcess failing;
  const std::string nowhere = (dir / "no-such-folder" / "report.html").string();
  ASSERT_TRUE(failing.Start({VELARIN_CLI_PATH, "--simulate", "--ecu", "P8", "--frames", "1",
                             "--settings", settings, "--service-report", nowhere}));
  EXPECT_EQ(failing.Wait(kRunTimeoutMs), 1);
  EXPECT_EQ(failing.err.rfind("velarin-cli: Service report not written: " + nowhere, 0), 0u)
      << failing.err;
  EXPECT_EQ(OutputLines(failing.err).size(), 1u) << failing.err;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace velarin::testing
