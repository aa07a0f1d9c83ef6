// Capture, replay and adapter check as a user runs them from the command line,
// on pseudo-terminals in real time. POSIX only: --simulate is then a pty.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <unistd.h>

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
  ToolsEndToEnd()
      : dir_(std::filesystem::temp_directory_path() /
             ("velarin-tools-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_);
  }
  ~ToolsEndToEnd() override { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // velarin-cli with `args`, its settings (a file per run) in the test's folder.
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

TEST_F(ToolsEndToEnd, ReplaysTheKeptCaptureOfEveryFamily) {
  // One after the other: the simulator reads the program's rate as it takes each byte
  // off the pseudo-terminal, and a busy machine could make it read the next rate.
  for (const std::string family : {"15m", "15Rc", "16m", "P8"}) {
    auto run =
        Cli({"--replay", std::string(VELARIN_CAPTURES_DIR) + "/" + family + ".vcap", "--frames",
             "6", "--channels", "rpm,inj,adv,map,air,water,throttle,battery,trimmer"});
    ASSERT_EQ(run->Wait(kTimeoutMs), 0) << run->out << run->err;
    const CaptureParse kept =
        ReadCaptureFile(std::string(VELARIN_CAPTURES_DIR) + "/" + family + ".vcap");
    ASSERT_TRUE(kept.capture) << kept.error;
    EXPECT_EQ(WithPrefix(run->out, "info: "), Notes(*kept.capture, "info")) << family;
    // The sixth frame, as the captured session showed it after its sixth.
    std::string readouts;
    for (int r = 0; r < 10; ++r) {
      readouts += (r > 0 ? "\t" : "") + Notes(*kept.capture, "Text1(" + std::to_string(r) + ")")[0];
    }
    EXPECT_EQ(WithPrefix(run->out, "live: ").back(), readouts) << family;
    // Every line logged was logged by the captured session (the elapsed times aside).
    const std::vector<std::string> log = Notes(*kept.capture, "log");
    const std::set<std::string> captured(log.begin(), log.end());
    for (const std::string& line : WithPrefix(run->out, "log: ")) {
      EXPECT_TRUE(captured.count(line) || line.rfind("Ecu info: ", 0) == 0) << line;
    }
    EXPECT_TRUE(WithPrefix(run->out, "replay: ").empty()) << run->out;
  }
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

TEST_F(ToolsEndToEnd, ChecksTheAdapterOfTheSimulator) {
  auto run = Cli({"--simulate", "--check-adapter"});
  ASSERT_EQ(run->Wait(kTimeoutMs), 0) << run->out << run->err;
  const std::vector<std::string> lines = OutputLines(run->out);
  ASSERT_GE(lines.size(), 9u) << run->out;
  EXPECT_EQ(lines[2], "[ ok ] Adapter echoes: yes, 50 of 50 bytes came back");
  // The simulator echoes on real time: a busy machine may delay an echo enough for a
  // warning on the echo delay, but never for a failure.
  for (const std::string& line : lines) EXPECT_NE(line.rfind("[FAIL]", 0), 0u) << run->out;
  EXPECT_TRUE(lines.back() == "Result: the adapter is fit for the K-line." ||
              lines.back() == "Result: the adapter works, but see the warnings above.")
      << run->out;
}

}  // namespace
}  // namespace velarin::testing

#endif  // _WIN32
