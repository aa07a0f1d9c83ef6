// velarin-cli as a user runs it: a separate process on a pseudo-terminal with the
// simulated ECU on the other side, on the real clock. Kept to a few seconds each.
// On Windows (no pseudo-terminals) the runs without an ECU and --simulate remain.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "sim/ecu_scenario.h"
#include "sim/pty_host.h"

namespace velarin::testing {
namespace {

constexpr int kRunTimeoutMs = 30000;  // only a hung program comes near this
constexpr uint32_t kIgnitionDelayMs = 300;

std::vector<std::string> Lines(const std::string& text) { return OutputLines(text); }

int ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

[[maybe_unused]] std::vector<std::string> Fields(const std::string& line, char sep) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t end = line.find(sep, start);
    fields.push_back(line.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class CliEndToEnd : public ::testing::Test {
 protected:
  CliEndToEnd() {
    dir_ = std::filesystem::temp_directory_path() /
           ("velarin-e2e-" + std::to_string(ProcessId()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~CliEndToEnd() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // velarin-cli with its settings in the test's folder.
  bool Launch(std::vector<std::string> args) {
    args.insert(args.begin(), VELARIN_CLI_PATH);
    args.push_back("--settings");
    args.push_back(Path("velarin-cli.ini"));
    return cli_.Start(args);
  }

  // An ECU on a pty of our own. 15Rc and P8 are talked to at once: their
  // ignition is on from the start; 15m and 16m send their burst once the
  // program has pressed Connect.
  void StartEcu(EcuFamily family) {
    host_ = std::make_unique<PtyHost>(DefaultScenario(family));
    ASSERT_TRUE(host_->Start()) << host_->error();
    burst_ = family == EcuFamily::Ecu15m || family == EcuFamily::Ecu16m;
    if (!burst_) host_->IgnitionOn(0);
  }
  void IgnitionAfterConnect() {
    ASSERT_TRUE(cli_.WaitForLine("log: 1200bds", kRunTimeoutMs)) << cli_.out << cli_.err;
    if (burst_) host_->IgnitionOn(kIgnitionDelayMs);
  }

  std::filesystem::path dir_;
  std::unique_ptr<PtyHost> host_;
  bool burst_ = false;
  ChildProcess cli_;
};

TEST_F(CliEndToEnd, UsageErrorsExit2WithOneLine) {
  const std::vector<std::vector<std::string>> cases = {{"--bogus"},
                                                       {"--ecu", "P9"},
                                                       {"--frames"},
                                                       {"--test", "custom=123"},
                                                       {"--device", "a", "--com", "1"}};
  for (const auto& args : cases) {
    ChildProcess cli;
    std::vector<std::string> argv = {VELARIN_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    ASSERT_TRUE(cli.Start(argv));
    EXPECT_EQ(cli.Wait(kRunTimeoutMs), 2) << args[0];
    EXPECT_EQ(cli.out, "") << args[0];
    EXPECT_EQ(Lines(cli.err).size(), 1u) << cli.err;
    EXPECT_EQ(cli.err.rfind("velarin-cli: ", 0), 0u) << cli.err;
  }
  ChildProcess help;
  ASSERT_TRUE(help.Start({VELARIN_CLI_PATH, "--help"}));
  EXPECT_EQ(help.Wait(kRunTimeoutMs), 0);
  EXPECT_EQ(help.out.rfind("usage: velarin-cli", 0), 0u) << help.out;
}

TEST_F(CliEndToEnd, MissingDevicePrintsTheLogThenTheOsReasonAndExits1) {
  const std::string missing = Path("no-such-tty");
  ASSERT_TRUE(Launch({"--device", missing}));
  EXPECT_EQ(cli_.Wait(kRunTimeoutMs), 1);
  EXPECT_EQ(cli_.out, "log: 1200bds" + std::string(kNewline));
  const auto errors = Lines(cli_.err);
  ASSERT_EQ(errors.size(), 1u) << cli_.err;
  EXPECT_NE(errors[0].find(missing), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find(": no such device"), std::string::npos) << errors[0];
}

#ifndef _WIN32  // an ECU on a pseudo-terminal
TEST_F(CliEndToEnd, ConnectionOverAPtyPrintsLogInfoLiveAndCsv) {
  StartEcu(EcuFamily::Ecu15m);
  ASSERT_TRUE(
      Launch({"--device", host_->slave_path(), "--frames", "3", "--csv", Path("live.csv")}));
  IgnitionAfterConnect();
  ASSERT_EQ(cli_.Wait(kRunTimeoutMs), 0) << cli_.out << cli_.err;
  EXPECT_EQ(cli_.err, "");
  const auto lines = Lines(cli_.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "log: 1200bds");
  EXPECT_TRUE(Has(lines, "log: init = false => call initial "));
  EXPECT_TRUE(Has(lines, "info: Iso Code    : 55018A132740")) << cli_.out;
  EXPECT_TRUE(Has(lines, "log: init successfull"));
  EXPECT_TRUE(Has(lines, "info: ecu data    : VLR15M0107")) << cli_.out;

  std::vector<std::string> live;
  for (const auto& l : lines) {
    if (l.rfind("live: ", 0) == 0) live.push_back(l.substr(6));
  }
  ASSERT_EQ(live.size(), 3u) << cli_.out;
  for (const auto& l : live) {
    const auto f = Fields(l, '\t');
    ASSERT_EQ(f.size(), 10u) << l;
    EXPECT_FALSE(f[0].empty()) << l;
  }

  std::ifstream csv_file(Path("live.csv"), std::ios::binary);
  const std::string csv((std::istreambuf_iterator<char>(csv_file)), {});
  const auto rows = Lines(csv);
  ASSERT_EQ(rows.size(), 4u) << csv;
  EXPECT_EQ(rows[0],
            "t_ms,rpm,inj_ms,advance_deg,map_mbar,air_c,water_c,throttle,battery_v,trimmer,"
            "throttle_v\r");
  for (size_t r = 1; r < rows.size(); ++r) {
    std::string row = rows[r];
    ASSERT_EQ(row.back(), '\r');
    row.pop_back();
    const auto f = Fields(row, ',');
    ASSERT_EQ(f.size(), 11u) << row;
    EXPECT_EQ(f[1], Fields(live[r - 1], '\t')[0]);
  }
}

#endif  // _WIN32

TEST_F(CliEndToEnd, SimulateBringsItsOwnEcu) {
  ASSERT_TRUE(Launch({"--simulate", "--ecu", "16m", "--frames", "2", "--dtc"}));
  ASSERT_EQ(cli_.Wait(kRunTimeoutMs), 0) << cli_.out << cli_.err;
  const auto lines = Lines(cli_.out);
  EXPECT_TRUE(Has(lines, "info: ecu data    : VLR16M0311")) << cli_.out;
  EXPECT_TRUE(Has(lines, "log: Icv OK")) << cli_.out;
  EXPECT_EQ(cli_.CountLinesStarting("live: "), 2u) << cli_.out;
}

#ifndef _WIN32  // an ECU on a pseudo-terminal
TEST_F(CliEndToEnd, PulledCableExits1WithTheReasonAndNoRowLost) {
  StartEcu(EcuFamily::EcuP8);
  ASSERT_TRUE(Launch({"--device", host_->slave_path(), "--ecu", "P8", "--csv", Path("live.csv")}));
  IgnitionAfterConnect();
  ASSERT_TRUE(cli_.WaitForOutput(
      [&](const std::string&) { return cli_.CountLinesStarting("live: ") >= 2; }, kRunTimeoutMs))
      << cli_.out << cli_.err;
  host_->Hangup();
  EXPECT_EQ(cli_.Wait(kRunTimeoutMs), 1);
  const auto errors = Lines(cli_.err);
  ASSERT_EQ(errors.size(), 1u) << cli_.err;
  EXPECT_EQ(errors[0].rfind("velarin-cli: ", 0), 0u);
  EXPECT_NE(errors[0].find(host_->slave_path()), std::string::npos) << errors[0];
  std::ifstream csv_file(Path("live.csv"), std::ios::binary);
  const std::string csv((std::istreambuf_iterator<char>(csv_file)), {});
  EXPECT_EQ(Lines(csv).size(), 1 + cli_.CountLinesStarting("live: ")) << csv;
}

TEST_F(CliEndToEnd, CtrlCDisconnectsAndExits0) {
  StartEcu(EcuFamily::Ecu15Rc);
  ASSERT_TRUE(Launch({"--device", host_->slave_path(), "--ecu", "15Rc"}));
  IgnitionAfterConnect();
  ASSERT_TRUE(cli_.WaitForOutput(
      [&](const std::string&) { return cli_.CountLinesStarting("live: ") >= 1; }, kRunTimeoutMs))
      << cli_.out << cli_.err;
  cli_.Signal(SIGINT);
  EXPECT_EQ(cli_.Wait(kRunTimeoutMs), 0) << cli_.err;
  EXPECT_EQ(cli_.err, "");
}

TEST_F(CliEndToEnd, TestAndTrimmerRunInTheTestWindow) {
  StartEcu(EcuFamily::Ecu15m);
  ASSERT_TRUE(Launch({"--device", host_->slave_path(), "--test", "fuel-pump", "--trimmer", "127"}));
  IgnitionAfterConnect();
  ASSERT_EQ(cli_.Wait(kRunTimeoutMs), 0) << cli_.out << cli_.err;
  const auto lines = Lines(cli_.out);
  EXPECT_TRUE(Has(lines, "test-log: Enter in diagnostic mode OK")) << cli_.out;
  EXPECT_TRUE(Has(lines, "test-log: Fuel pump"));
  EXPECT_TRUE(Has(lines, "test-log: Test finish"));
  EXPECT_TRUE(Has(lines, "test-log: trimmer set to:0")) << cli_.out;
  EXPECT_TRUE(Has(lines, "test-log: Exit diagnostic mode OK"));
}
#endif  // _WIN32

}  // namespace
}  // namespace velarin::testing
