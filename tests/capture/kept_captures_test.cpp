// The kept captures, one per family, made with the simulator and replayed
// through the whole program: the replay must show the readouts, the ECU
// information and the log that the captured session showed, which the capture
// holds in its notes.

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_format.h"
#include "capture/capturing_serial_device.h"
#include "kept_session.h"
#include "sim/ecu_scenario.h"
#include "sim/replay_ecu.h"
#include "sim/virtual_clock.h"

namespace velarin {
namespace {

using testing::KeptSession;
using testing::RunKeptSession;

std::string CapturePath(EcuFamily family) {
  return std::string(VELARIN_CAPTURES_DIR) + "/" + FamilyNoteValue(family) + ".vcap";
}

std::string ReadoutKey(int i) { return "Text1(" + std::to_string(i) + ")"; }

std::vector<std::string> Notes(const Capture& capture, const std::string& key) {
  std::vector<std::string> values;
  for (const auto& [k, v] : capture.notes) {
    if (k == key) values.push_back(v);
  }
  return values;
}

// Makes the kept captures; run by hand after a change to the simulator or the format:
//   capture_tests --gtest_also_run_disabled_tests --gtest_filter='KeptCaptures.DISABLED_Make'
TEST(KeptCaptures, DISABLED_Make) {
  for (EcuFamily family :
       {EcuFamily::Ecu15m, EcuFamily::Ecu15Rc, EcuFamily::Ecu16m, EcuFamily::EcuP8}) {
    VirtualClock clock;
    App app;
    EventLoop loop(app, clock);
    WireMainLoop(loop, app);
    EcuScenario scenario = DefaultScenario(family);
    // The burst comes a moment after the port opened, as a rider turns the key.
    const bool burst = family == EcuFamily::Ecu15m || family == EcuFamily::Ecu16m;
    scenario.ignition_delay_ms = burst ? 300 : 0;
    SimulatedLine line(clock, scenario);
    CapturingSerialDevice device(line.device(), [&clock] { return clock.elapsed_total() * 1000; });
    std::string error;
    device.StartCapture(
        CaptureWriter::Create(CapturePath(family),
                              {{kFamilyNoteKey, FamilyNoteValue(family)},
                               {"made-by", "the simulator, tests/capture/kept_captures_test.cpp"}},
                              &error));
    ASSERT_TRUE(device.capturing()) << error;
    app.protocol.MSComm1.device = &device;
    const KeptSession s = RunKeptSession(app, loop, line, family);
    for (int i = 0; i < kReadoutCount; ++i) device.AddNote(ReadoutKey(i), s.readouts[i]);
    for (const std::string& line_text : s.info) device.AddNote("info", line_text);
    for (const std::string& line_text : s.log) device.AddNote("log", line_text);
    device.StopCapture();
    EXPECT_EQ(device.CaptureStatus(), "");
  }
}

class KeptCaptureReplay : public ::testing::TestWithParam<EcuFamily> {};

TEST_P(KeptCaptureReplay, ShowsWhatTheCapturedSessionShowed) {
  const EcuFamily family = GetParam();
  const CaptureParse parse = ReadCaptureFile(CapturePath(family));
  ASSERT_TRUE(parse.capture) << parse.error;
  const Capture& capture = *parse.capture;
  auto replay = std::make_shared<Replay>(capture);
  EXPECT_EQ(replay->family(), family);

  VirtualClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, replay->Factory());
  app.protocol.MSComm1.device = &line.device();
  const KeptSession s = RunKeptSession(app, loop, line, family);

  for (int i = 0; i < kReadoutCount; ++i) {
    EXPECT_EQ(std::vector<std::string>{s.readouts[i]}, Notes(capture, ReadoutKey(i))) << i;
  }
  EXPECT_EQ(s.info, Notes(capture, "info"));
  EXPECT_EQ(s.log, Notes(capture, "log"));
  EXPECT_EQ(replay->TakeNotes(), std::vector<std::string>{});

  // Without its note the family still shows in the traffic.
  Capture unnamed = capture;
  unnamed.notes.clear();
  EXPECT_EQ(Replay(unnamed).family(), family);
}

INSTANTIATE_TEST_SUITE_P(Families, KeptCaptureReplay,
                         ::testing::Values(EcuFamily::Ecu15m, EcuFamily::Ecu15Rc, EcuFamily::Ecu16m,
                                           EcuFamily::EcuP8));

}  // namespace
}  // namespace velarin
