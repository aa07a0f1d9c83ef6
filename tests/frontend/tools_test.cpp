// The programs' tools on the virtual clock: the capture in front of the port,
// and the adapter check on the main window's port.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "capture/capture_format.h"
#include "frontend/adapter_check_run.h"
#include "frontend/options.h"
#include "frontend/port_capture.h"
#include "platform/version.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin::frontend {
namespace {

TEST(PortCapture, FollowsTheDeviceItIsPutInFrontOfAndNotesTheFamilyAtEachOpen) {
  VirtualClock clock;
  SimulatedLine first(clock, DefaultScenario(EcuFamily::Ecu15m));
  SimulatedLine second(clock, DefaultScenario(EcuFamily::Ecu16m));
  std::string family = "15m";
  PortCapture capture([&family] { return family; });
  LinkPort port;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("velarin-port-capture-" + std::to_string(getpid()) + ".vcap"))
                               .string();
  std::string error;
  ASSERT_TRUE(capture.Start(path, "velarin-cli", &error)) << error;
  EXPECT_EQ(capture.Status(), "capturing to " + path);
  for (SimulatedLine* line : {&first, &second}) {
    // The program hands the port another ECU's line, as a new family's simulator does.
    port.device = &line->device();
    capture.Attach(port);
    ASSERT_TRUE(port.device->Open("/dev/ttyUSB0"));
    ASSERT_TRUE(port.device->WriteByte(0x0F));
    port.device->Close();
    EXPECT_EQ(line->SentByProgram(), std::vector<uint8_t>{0x0F});
    family = "16m";
  }
  capture.Stop();
  EXPECT_EQ(capture.Status(), "capture saved: " + path);

  const CaptureParse parse = ReadCaptureFile(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(parse.capture) << parse.error;
  const CaptureNotes notes = {{"made-by", "velarin-cli " + std::string(kProgramVersion)},
                              {"family", "15m"},
                              {"family", "16m"}};
  EXPECT_EQ(parse.capture->notes, notes);
  EXPECT_EQ(parse.capture->events.size(), 6u);  // open, sent, close, twice
}

TEST(AdapterCheckOnPort, RunsOnTheComBoxPortAndNeverWhileConnected) {
  VirtualClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, DefaultScenario(EcuFamily::EcuP8));
  line.missing_paths = {DevicePathForPort(1)};
  app.protocol.MSComm1.device = &line.device();
  LoadMainWindow(app);

  // The "Com" box names a port that is not there: the check says so.
  SetComText(app, "1");
  AdapterCheckRun run = CheckAdapterOnPort(app, clock, {});
  EXPECT_EQ(AdapterCheckExitCode(run), kExitDevice);
  SetComText(app, "2");
  run = CheckAdapterOnPort(app, clock, {});
  EXPECT_EQ(AdapterCheckExitCode(run), kExitOk) << run.lines.back();

  ClickConnectSwitch(app);
  line.IgnitionOn();
  ASSERT_TRUE(app.protocol.MSComm1.PortOpen());
  const size_t sent = line.SentByProgram().size();
  run = CheckAdapterOnPort(app, clock, {});
  EXPECT_TRUE(run.refused);
  EXPECT_EQ(line.SentByProgram().size(), sent) << "nothing sent while connected";
  EXPECT_EQ(AdapterCheckExitCode(run), kExitDevice);
}

}  // namespace
}  // namespace velarin::frontend
