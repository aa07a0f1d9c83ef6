// The command-line session on the virtual clock against the simulated K-line:
// what it prints, when it stops, and in which order it clicks.

#include "frontend/cli_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/options.h"
#include "frontend/session.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin::frontend {
namespace {

using Lines = std::vector<std::string>;

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Lines WithPrefix(const Lines& lines, const std::string& prefix) {
  Lines out;
  for (const auto& l : lines) {
    if (l.rfind(prefix, 0) == 0) out.push_back(l.substr(prefix.size()));
  }
  return out;
}

// Position of the first line equal to `line` at or after `from`; -1 when absent.
long IndexOf(const Lines& lines, const std::string& line, long from = 0) {
  for (long i = std::max(0L, from); i < static_cast<long>(lines.size()); ++i) {
    if (lines[i] == line) return i;
  }
  return -1;
}

Lines Fields(const std::string& line, char sep) {
  Lines fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, sep)) fields.push_back(field);
  if (!line.empty() && line.back() == sep) fields.push_back("");
  return fields;
}

class CliSessionTest : public ::testing::Test {
 protected:
  CliSessionTest() : clock_(vclock_), loop_(app_, clock_) {
    dir_ = std::filesystem::temp_directory_path() /
           ("velarin-cli-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    app_.settings_path = (dir_ / "velarin-cli.ini").string();
  }
  ~CliSessionTest() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // An ECU of `family` whose burst comes 300 ms after the switch is pressed.
  static EcuScenario Scenario(EcuFamily family) {
    EcuScenario s = DefaultScenario(family);
    s.ignition_delay_ms = 300;
    return s;
  }

  // Runs the CLI with `args` (the window set to the scenario's family unless
  // --ecu says otherwise) against a fresh simulated line.
  int Run(EcuScenario scenario, std::vector<std::string> args, bool ignition = true) {
    if (std::find(args.begin(), args.end(), "--ecu") == args.end()) {
      static constexpr const char* kNames[] = {"15m", "15Rc", "16m", "P8"};
      args.push_back("--ecu");
      args.push_back(kNames[static_cast<int>(scenario.family)]);
    }
    line_ = std::make_unique<SimulatedLine>(vclock_, std::move(scenario));
    app_.protocol.MSComm1.device = &line_->device();
    args.insert(args.begin(), "velarin-cli");
    args.push_back("--device");
    args.push_back(device_);
    auto parsed = ParseArgs(Program::kCli, args);
    EXPECT_TRUE(parsed.options) << parsed.error;
    options_ = parsed.options.value_or(Options{});
    LoadMainWindow(app_);
    ApplyWindowOptions(app_, options_);
    if (ignition) line_->IgnitionOn();
    if (before_run) before_run();
    session_ = std::make_unique<CliSession>(
        app_, loop_, clock_, options_, CliOutput{&out_, &err_, options_.csv ? &csv_ : nullptr});
    const int code = session_->Run();
    lines_ = SplitLines(out_.str());
    return code;
  }

  Lines Live() const { return WithPrefix(lines_, "live: "); }
  Lines Log() const { return WithPrefix(lines_, "log: "); }
  Lines TestLog() const { return WithPrefix(lines_, "test-log: "); }
  Lines Info() const { return WithPrefix(lines_, "info: "); }

  VirtualClock vclock_;
  ObservedClock clock_;
  App app_;
  EventLoop loop_;
  std::unique_ptr<SimulatedLine> line_;
  Options options_;
  std::unique_ptr<CliSession> session_;
  std::ostringstream out_, err_, csv_;
  Lines lines_;
  std::function<void()> before_run;
  std::string device_ = "/dev/ttyVIRT0";
  std::filesystem::path dir_;
};

TEST_F(CliSessionTest, TypicalConnectionPrintsTheWindowsLinesInOrder) {
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu15m), {"--frames", "3"}), kExitOk) << err_.str();
  EXPECT_EQ(err_.str(), "");
  ASSERT_FALSE(lines_.empty());
  EXPECT_EQ(lines_.front(), "log: 1200bds");
  const long waiting = IndexOf(lines_, "log: init = false => call initial ");
  const long iso = IndexOf(lines_, "info: Iso Code    : 55018A132740");
  const long ok = IndexOf(lines_, "log: Iso code OK");
  const long switched = IndexOf(lines_, "log: 7812");
  const long ident = IndexOf(lines_, "info: ecu data    : VLR15M0107");
  const long first_live = IndexOf(lines_, "live: " + Live().at(0));
  EXPECT_GT(waiting, 0);
  // Lines of the log and of the "ECU Info" box written between two pauses come
  // log first, so only their order against the later steps is fixed.
  EXPECT_GT(iso, waiting);
  EXPECT_GT(ok, waiting);
  EXPECT_GT(switched, std::max(ok, iso));
  EXPECT_GT(ident, switched);
  EXPECT_GT(first_live, ident);
  EXPECT_NE(IndexOf(lines_, "log: Cal: 0 "), -1);  // the calibration step passed over

  // Exactly the reads asked for, each with the ten readouts; Text1(9) is 15Rc's only.
  ASSERT_EQ(Live().size(), 3u);
  for (const std::string& live : Live()) {
    const Lines f = Fields(live, '\t');
    ASSERT_EQ(f.size(), 10u) << live;
    for (int i = 0; i < 9; ++i) EXPECT_FALSE(f[i].empty()) << "channel " << i << ": " << live;
    EXPECT_EQ(f[9], "");
  }
  // The run ends as a user would end it: Disconnect.
  EXPECT_FALSE(app_.protocol.MSComm1.PortOpen());
  EXPECT_FALSE(app_.form2.Check2.value);
  EXPECT_EQ(app_.form2.Text4.text, "");
  EXPECT_EQ(session_->live_reads(), 3u);
  for (const std::string& l : lines_) EXPECT_EQ(l.find('\r'), std::string::npos) << l;
}

TEST_F(CliSessionTest, CsvHasOneQuotedRowPerReadWithTheReadoutsAsShown) {
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu15Rc), {"--frames", "4", "--csv", "rows.csv"}), kExitOk);
  const std::string csv = csv_.str();
  // The header is written by the caller that opens the file; the session writes rows.
  std::vector<std::string> rows;
  size_t start = 0;
  for (size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2)
    rows.push_back(csv.substr(start, end - start));
  EXPECT_EQ(start, csv.size()) << "every row ends in CRLF";
  ASSERT_EQ(rows.size(), 4u) << out_.str();
  const Lines live = Live();
  long previous_t = -1;
  for (size_t r = 0; r < rows.size(); ++r) {
    const Lines f = Fields(rows[r], ',');
    ASSERT_EQ(f.size(), 11u) << rows[r];
    const long t = std::stol(f[0]);
    EXPECT_GT(t, previous_t);
    previous_t = t;
    const Lines shown = Fields(live[r], '\t');
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f[i + 1], shown[i]) << rows[r];
    EXPECT_FALSE(f[10].empty()) << "15Rc shows the throttle voltage";
  }
}

TEST_F(CliSessionTest, ChannelsAreSetLikeClicksBeforeTheFirstTick) {
  // P8's Connect clears all but throttle and battery; the list brings rpm back
  // and clears battery, as clicks on the boxes would.
  ASSERT_EQ(Run(Scenario(EcuFamily::EcuP8), {"--frames", "2", "--channels", "rpm,throttle"}),
            kExitOk);
  ASSERT_EQ(Live().size(), 2u);
  for (const std::string& live : Live()) {
    const Lines f = Fields(live, '\t');
    ASSERT_EQ(f.size(), 10u);
    for (int i = 0; i < 10; ++i) {
      const bool polled = i == 0 || i == 6;
      EXPECT_EQ(f[i].empty(), !polled) << "channel " << i << ": " << live;
    }
  }
  EXPECT_EQ(Log().front(), "1200bds");
  EXPECT_EQ(IndexOf(Log(), "init = false => call initial "), -1);
}

TEST_F(CliSessionTest, PortThatCannotOpenGivesTheLogThenTheReasonAndExit1) {
  device_ = "/dev/does-not-exist";  // the one path the simulated line refuses
  EXPECT_EQ(Run(Scenario(EcuFamily::EcuP8), {"--ecu", "P8"}), kExitDevice);
  EXPECT_EQ(lines_, (Lines{"log: 1200bds", "log: 7812"}));
  const Lines errors = SplitLines(err_.str());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("velarin-cli: ", 0), 0u);
  EXPECT_NE(errors[0].find("/dev/does-not-exist"), std::string::npos) << errors[0];
  EXPECT_TRUE(line_->SentByProgram().empty());
}

TEST_F(CliSessionTest, PulledCableEndsWithExit1AndKeepsTheRowsAlreadyRead) {
  before_run = [this] {
    // Pulled two seconds in, well into live data.
    vclock_.Schedule(2500, [this] { line_->Vanish(); });
  };
  const int code = Run(Scenario(EcuFamily::Ecu15m), {"--csv", "x.csv", "--seconds", "20"});
  EXPECT_EQ(code, kExitDevice);
  EXPECT_LT(vclock_.elapsed_total(), 5000u) << "noticed at once, not at the end of --seconds";
  const Lines errors = SplitLines(err_.str());
  ASSERT_EQ(errors.size(), 1u) << err_.str();
  EXPECT_EQ(errors[0].rfind("velarin-cli: ", 0), 0u);
  EXPECT_FALSE(Live().empty());
  EXPECT_EQ(SplitLines(csv_.str()).size(), Live().size());
}

TEST_F(CliSessionTest, CableLostInsideTheTestWindowEndsTheConnectionTheSameWay) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  s.verdicts[0x80] = TestVerdict{{0x01}, 20000, {0xFF}};
  before_run = [this] {
    // During the pump's result wait, when no polling tick runs.
    vclock_.Schedule(6000, [this] { line_->Vanish(); });
  };
  EXPECT_EQ(Run(s, {"--test", "fuel-pump", "--frames", "5"}), kExitDevice);
  const Lines errors = SplitLines(err_.str());
  ASSERT_EQ(errors.size(), 1u) << err_.str();
  EXPECT_NE(errors[0].find("Connection lost: /dev/ttyVIRT0"), std::string::npos) << errors[0];
  EXPECT_EQ(app_.form2.Check2.caption, "Connect");
  EXPECT_EQ(app_.form2.Shape1.fill_color, kColorRed);
  EXPECT_EQ(app_.protocol.link_losses, 1u);
}

TEST_F(CliSessionTest, DtcRunsAfterTheFirstReadAndTheReadsGoOn) {
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu16m), {"--dtc", "--frames", "3"}), kExitOk);
  const long first_live = IndexOf(lines_, "live: " + Live().at(0));
  const long report = IndexOf(lines_, "log: Icv OK");
  ASSERT_GT(report, first_live);
  // Thirteen report lines in a row right after the first read's lines.
  EXPECT_EQ(Live().size(), 3u);
  const long second_live = IndexOf(lines_, "live: " + Live().at(1), first_live + 1);
  EXPECT_GT(second_live, report);
  EXPECT_GE(second_live - report, 13 - 1);
}

TEST_F(CliSessionTest, TestOpensTheWindowWaitsForTheVerdictAndGoesBack) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  // Coil 1 answers "still running", then its verdict four seconds later.
  s.verdicts[0x81] = TestVerdict{{0x01}, 4000, {0xFF}};
  ASSERT_EQ(Run(s, {"--test", "coil1", "--frames", "2"}), kExitOk) << err_.str();
  EXPECT_EQ(TestLog(), (Lines{"Enter in diagnostic mode OK", "Coil1", "8101", "FF", "Test finish",
                              "Exit diagnostic mode OK"}));
  EXPECT_EQ(Live().size(), 2u);
  // The second read comes after the test, once the polling runs again.
  EXPECT_GT(IndexOf(lines_, "live: " + Live().at(1)), IndexOf(lines_, "test-log: Test finish"));
  EXPECT_FALSE(line_->in_diagnostic_mode());
}

TEST_F(CliSessionTest, CustomCodeIsTypedThenSent) {
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu15m), {"--test", "custom=1f", "--frames", "1"}), kExitOk);
  const Lines t = TestLog();
  EXPECT_NE(IndexOf(t, "Custom code 1f"), -1) << out_.str();
  const auto sent = line_->SentByProgram();
  EXPECT_NE(std::find(sent.begin(), sent.end(), 0x1F), sent.end());
}

TEST_F(CliSessionTest, TrimmerIsSetInCoRegulationAndTheWindowLeaves) {
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu15m), {"--trimmer", "200", "--frames", "1"}), kExitOk);
  const Lines t = TestLog();
  EXPECT_NE(IndexOf(t, "Enter CO Regulation OK"), -1) << out_.str();
  EXPECT_NE(IndexOf(t, "trimmer set to:73"), -1) << out_.str();
  EXPECT_NE(IndexOf(t, "Exit CO Regulation OK"), -1) << out_.str();
  EXPECT_NE(IndexOf(t, "Exit diagnostic mode OK"), -1) << out_.str();
  EXPECT_EQ(line_->ecu_trimmer(), 200);
  EXPECT_FALSE(app_.form1.loaded);
}

TEST_F(CliSessionTest, ActionsRunInTheOrderGiven) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  s.fault1 = 0;  // a fault register of its own: "Icv OK"
  ASSERT_EQ(Run(s, {"--test", "fuel-pump", "--dtc"}), kExitOk);
  const long test = IndexOf(lines_, "test-log: Fuel pump");
  const long dtc = IndexOf(lines_, "log: Icv OK");
  ASSERT_NE(test, -1);
  ASSERT_NE(dtc, -1) << out_.str();
  EXPECT_LT(test, dtc);
  EXPECT_EQ(Live().size(), 1u) << "without --frames the run ends when the actions are done";
}

TEST_F(CliSessionTest, TimeRunningOutInAResultWaitLeavesDiagnosticModeCleanly) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  s.verdicts[0x80] = TestVerdict{{0x01}, 0, {}};  // the pump never reports
  ASSERT_EQ(Run(s, {"--test", "fuel-pump", "--seconds", "8"}), kExitOk);
  EXPECT_LT(vclock_.elapsed_total(), 8000u + 5000u) << "the 36 s wait was cut short";
  EXPECT_FALSE(app_.form1.loaded);
  EXPECT_FALSE(line_->in_diagnostic_mode());
  EXPECT_FALSE(app_.protocol.MSComm1.PortOpen());
  EXPECT_EQ(IndexOf(TestLog(), "Test unknown"), -1);
}

TEST_F(CliSessionTest, SecondsBoundARunThatNeverReachesLiveData) {
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu15m), {"--seconds", "1.5"}, /*ignition=*/false), kExitOk);
  EXPECT_GE(vclock_.elapsed_total(), 1500u);
  EXPECT_LT(vclock_.elapsed_total(), 1700u);
  EXPECT_TRUE(Live().empty());
  EXPECT_GT(std::count(lines_.begin(), lines_.end(), "log: init = false => call initial "), 10);
  EXPECT_FALSE(app_.protocol.MSComm1.PortOpen());
}

TEST_F(CliSessionTest, StopRequestDisconnectsAndExits0) {
  before_run = [this] { vclock_.Schedule(3000, [this] { session_->RequestStop(); }); };
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu15m), {}), kExitOk);
  EXPECT_LT(vclock_.elapsed_total(), 3500u);
  EXPECT_FALSE(Live().empty());
  EXPECT_FALSE(app_.protocol.MSComm1.PortOpen());
}

TEST_F(CliSessionTest, MessageBoxesBecomeLines) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  s.diag_entry_answer = {0x12};
  ASSERT_EQ(Run(s, {"--test", "fuel-pump"}), kExitOk);
  EXPECT_NE(IndexOf(lines_, "message: diagnostic mode failed"), -1) << out_.str();
}

TEST_F(CliSessionTest, CalibrationAndNulBytesReachTheInfoLines) {
  EcuScenario s = Scenario(EcuFamily::Ecu15m);
  s.ident = std::string(
      "VLR\0"
      "15M010",
      10);
  ASSERT_EQ(Run(s, {"--calibration", "--frames", "1"}), kExitOk);
  EXPECT_NE(IndexOf(Info(), "ecu data    : VLR\\015M010"), -1) << out_.str();
  EXPECT_NE(IndexOf(Info(), "calibration : CAL04711"), -1) << out_.str();
}

TEST_F(CliSessionTest, NoEcuDataSkipsTheIdentificationRead) {
  ASSERT_EQ(Run(Scenario(EcuFamily::Ecu15m), {"--no-ecu-data", "--frames", "1"}), kExitOk);
  EXPECT_NE(IndexOf(Log(), "Ecu info: 0 "), -1) << out_.str();
  EXPECT_EQ(Info(), (Lines{"Iso Code    : 55018A132740"}));
}

}  // namespace
}  // namespace velarin::frontend
