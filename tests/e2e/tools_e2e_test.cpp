// Capture, replay and adapter check as a user runs them from the command line,
// on pseudo-terminals in real time. Runs that do not depend on each other go in
// parallel to keep the suite short. POSIX only: --simulate is then a pty.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "capture/capture_format.h"
#include "e2e/child_process.h"

namespace velarin::testing {
namespace {

constexpr int kTimeoutMs = 30000;  // only a hung program comes near this
const std::array<std::string, 4> kFamilies = {"15m", "15Rc", "16m", "P8"};
const char kAllChannels[] = "rpm,inj,adv,map,air,water,throttle,battery,trimmer";

std::vector<std::string> WithPrefix(const std::string& out, const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : OutputLines(out)) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
  }
  return lines;
}

std::vector<std::string> Notes(const Capture& capture, const std::string& key) {
  std::vector<std::string> values;
  for (const auto& [k, v] : capture.notes) {
    if (k == key) values.push_back(v);
  }
  return values;
}

class ToolsEndToEnd : public ::testing::Test {
 protected:
  ToolsEndToEnd() {
    dir_ = std::filesystem::temp_directory_path() /
           ("velarin-tools-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ToolsEndToEnd() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // velarin-cli started with `args`, its settings (one file per run) in the test's folder.
  std::unique_ptr<ChildProcess> Cli(std::vector<std::string> args) {
    args.insert(args.begin(), VELARIN_CLI_PATH);
    args.insert(args.end(), {"--settings", Path(std::to_string(++runs_) + ".ini")});
    auto child = std::make_unique<ChildProcess>();
    EXPECT_TRUE(child->Start(args));
    return child;
  }

  std::filesystem::path dir_;
  int runs_ = 0;
};

TEST_F(ToolsEndToEnd, ReplaysTheKeptCaptureOfEveryFamilyAndOneCutShort) {
  std::vector<std::unique_ptr<ChildProcess>> runs;
  for (const std::string& family : kFamilies) {
    runs.push_back(Cli({"--replay", std::string(VELARIN_CAPTURES_DIR) + "/" + family + ".vcap",
                        "--frames", "6", "--channels", kAllChannels}));
  }
  // Without its end row, as a crash leaves it: replayed, with a warning.
  std::ifstream kept(std::string(VELARIN_CAPTURES_DIR) + "/P8.vcap");
  std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
  text.erase(text.rfind("0 E\n"));
  std::ofstream(Path("cut.vcap")) << text;
  runs.push_back(Cli({"--replay", Path("cut.vcap"), "--frames", "2"}));

  for (size_t i = 0; i < kFamilies.size(); ++i) {
    ChildProcess& run = *runs[i];
    ASSERT_EQ(run.Wait(kTimeoutMs), 0) << run.out << run.err;
    const CaptureParse kept_capture =
        ReadCaptureFile(std::string(VELARIN_CAPTURES_DIR) + "/" + kFamilies[i] + ".vcap");
    ASSERT_TRUE(kept_capture.capture) << kept_capture.error;
    const Capture& c = *kept_capture.capture;
    EXPECT_EQ(WithPrefix(run.out, "info: "), Notes(c, "info")) << kFamilies[i];
    // The sixth frame, as the captured session showed it after its sixth.
    std::string readouts;
    for (int r = 0; r < 10; ++r) {
      readouts += (r > 0 ? "\t" : "") + Notes(c, "Text1(" + std::to_string(r) + ")").at(0);
    }
    EXPECT_EQ(WithPrefix(run.out, "live: ").back(), readouts) << kFamilies[i];
    // Every line logged was logged by the captured session (the elapsed times aside).
    const std::vector<std::string> log = Notes(c, "log");
    const std::set<std::string> captured(log.begin(), log.end());
    for (const std::string& line : WithPrefix(run.out, "log: ")) {
      if (line.rfind("Ecu info: ", 0) == 0) continue;
      EXPECT_TRUE(captured.count(line)) << kFamilies[i] << ": " << line;
    }
    EXPECT_TRUE(WithPrefix(run.out, "replay: ").empty()) << run.out;
  }
  ChildProcess& cut = *runs.back();
  ASSERT_EQ(cut.Wait(kTimeoutMs), 0) << cut.out << cut.err;
  EXPECT_EQ(cut.CountLinesStarting("live: "), 2u) << cut.out;
  EXPECT_NE(cut.out.find("replay: " + Path("cut.vcap") + ": line "), std::string::npos) << cut.out;
  EXPECT_NE(cut.out.find("the rows before it are replayed"), std::string::npos) << cut.out;
}

TEST_F(ToolsEndToEnd, CapturesASessionThatReplaysAlikeAndGoesOnWhenTheDiskIsFull) {
  auto made = Cli({"--simulate", "--ecu", "P8", "--frames", "2", "--capture", Path("p8.vcap")});
  if (std::filesystem::exists("/dev/full")) {  // a device that is always full
    auto full = Cli({"--simulate", "--ecu", "P8", "--frames", "2", "--capture", "/dev/full"});
    ASSERT_EQ(full->Wait(kTimeoutMs), 0) << full->out << full->err;
    EXPECT_EQ(OutputLines(full->out).front(), "capture stopped: No space left on device");
    EXPECT_EQ(full->CountLinesStarting("live: "), 2u) << full->out;
  }
  ASSERT_EQ(made->Wait(kTimeoutMs), 0) << made->out << made->err;

  const CaptureParse parse = ReadCaptureFile(Path("p8.vcap"));
  ASSERT_TRUE(parse.capture) << parse.error;
  EXPECT_EQ(parse.capture->Note("family"), "P8");
  EXPECT_EQ(parse.capture->Note("made-by").value_or("").rfind("velarin-cli ", 0), 0u);

  auto replayed = Cli({"--replay", Path("p8.vcap"), "--frames", "2"});
  ASSERT_EQ(replayed->Wait(kTimeoutMs), 0) << replayed->out << replayed->err;
  EXPECT_EQ(WithPrefix(replayed->out, "info: "), WithPrefix(made->out, "info: "));
  EXPECT_EQ(WithPrefix(replayed->out, "live: "), WithPrefix(made->out, "live: "));
}

TEST_F(ToolsEndToEnd, RefusesABadCaptureNamingTheLineBeforeAnyPortOpens) {
  std::ofstream(Path("bad.vcap")) << "velarin-capture 1\n0 O 1200 /dev/ttyUSB0\n5 > 0G\n0 E\n";
  auto cli = Cli({"--replay", Path("bad.vcap"), "--frames", "2"});
  ChildProcess sim;
  ASSERT_TRUE(sim.Start({VELARIN_ECUSIM_PATH, "--replay", Path("bad.vcap")}));
  const std::string says = "cannot replay the capture: " + Path("bad.vcap") +
                           ": line 3: \">\" takes one byte as two hex digits\n";
  EXPECT_EQ(cli->Wait(kTimeoutMs), 1);
  EXPECT_EQ(cli->err, "velarin-cli: " + says);
  EXPECT_EQ(cli->out, "");
  EXPECT_EQ(sim.Wait(kTimeoutMs), 1);
  EXPECT_EQ(sim.err, "velarin-ecusim: " + says);
  EXPECT_EQ(sim.out, "") << "no pseudo-terminal was offered";
}

TEST_F(ToolsEndToEnd, ChecksTheAdapterOfTheSimulatorAndAPortThatIsNotThere) {
  auto good = Cli({"--simulate", "--check-adapter"});
  auto missing = Cli({"--device", Path("no-such-port"), "--check-adapter"});
  ASSERT_EQ(good->Wait(kTimeoutMs), 0) << good->out << good->err;
  const std::vector<std::string> lines = OutputLines(good->out);
  ASSERT_EQ(lines.size(), 9u) << good->out;
  EXPECT_EQ(
      lines[0].rfind("Adapter check, with the ignition off. Probe bytes 5A A5 3C C3 69 96", 0), 0u);
  for (size_t i = 1; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].rfind("[ ok ] ", 0), 0u) << i;
  EXPECT_EQ(lines[2], "[ ok ] Adapter echoes: yes, 50 of 50 bytes came back");
  EXPECT_EQ(lines[4], "[ ok ] Line speed read back after setting 7812: 7812 baud");
  EXPECT_EQ(lines.back(), "Result: the adapter is fit for the K-line.");

  EXPECT_EQ(missing->Wait(kTimeoutMs), 1) << missing->out << missing->err;
  EXPECT_NE(missing->out.find("[FAIL] Port: "), std::string::npos) << missing->out;
  EXPECT_NE(missing->out.find("Stopped: the port failed: "), std::string::npos) << missing->out;
}

}  // namespace
}  // namespace velarin::testing

#endif  // _WIN32
