// The two programs a bench user starts by hand: velarin-ecusim on a pty, and
// velarin-cli pointed at the path it prints (or at its --link symlink).
// velarin-ecusim serves a pseudo-terminal: POSIX only.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "e2e/child_process.h"

namespace velarin::testing {
namespace {

constexpr int kTimeoutMs = 30000;  // only a hung program comes near this

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(EcusimEndToEnd, CliWakesTheSimulatorThroughItsLinkAndReadsLiveData) {
  const std::string link =
      std::filesystem::temp_directory_path() / ("velarin-ecusim-" + std::to_string(getpid()));
  const std::string settings = link + ".ini";
  ChildProcess sim;
  // The burst comes 3 s after start: by then the CLI has long pressed Connect.
  ASSERT_TRUE(sim.Start({VELARIN_ECUSIM_PATH, "--ecu", "16m", "--link", link, "--ignition-delay",
                         "3000", "--seconds", "20"}));
  ASSERT_TRUE(sim.WaitForOutput(
      [](const std::string& o) { return o.find('\n') != std::string::npos; }, kTimeoutMs))
      << sim.err;
  const std::string slave = FirstLine(sim.out);
  EXPECT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), slave);

  ChildProcess cli;
  ASSERT_TRUE(cli.Start({VELARIN_CLI_PATH, "--device", link, "--ecu", "16m", "--frames", "2",
                         "--settings", settings}));
  EXPECT_EQ(cli.Wait(kTimeoutMs), 0) << cli.out << cli.err;
  EXPECT_NE(cli.out.find("log: RX=> 55018A163142 \n"), std::string::npos) << cli.out;
  EXPECT_NE(cli.out.find("log: 7812\n"), std::string::npos) << cli.out;
  EXPECT_NE(cli.out.find("info: ecu data    : VLR16M0311\n"), std::string::npos) << cli.out;
  EXPECT_EQ(cli.CountLinesStarting("live: "), 2u) << cli.out;

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(kTimeoutMs), 0) << sim.err;
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
  std::filesystem::remove(settings);
}

}  // namespace
}  // namespace velarin::testing

#endif  // _WIN32
