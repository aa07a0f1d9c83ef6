// `velarin` on a machine without a display: it says so and runs the command-line
// front end against the simulated ECU.

// Only where the display comes from the environment: a Windows session always has one.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "e2e/child_process.h"

namespace velarin::gui {
namespace {

TEST(NoDisplay, FallsBackToTheCommandLineAgainstTheSimulator) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("velarin-nodisplay-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  testing::ChildProcess program;
  ASSERT_TRUE(program.Start(
      {VELARIN_GUI_PATH, "--simulate=P8", "--settings", (dir / "velarin.ini").string()},
      {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}));
  ASSERT_TRUE(program.WaitForOutput(
      [&](const std::string& out) { return out.find("\nlive: ") != std::string::npos; }, 20000))
      << program.out << program.err;
  EXPECT_NE(program.err.find("no display"), std::string::npos) << program.err;
  EXPECT_EQ(program.out.rfind("log: 1200bds\nlog: 7812\n", 0), 0u) << program.out;
  EXPECT_NE(program.out.find("info: ecu data    : VLRP8A0412"), std::string::npos) << program.out;
  program.Signal(SIGINT);
  EXPECT_EQ(program.Wait(20000), 0) << program.err;
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace
}  // namespace velarin::gui

#endif  // _WIN32
