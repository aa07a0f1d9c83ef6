// The capture under a whole connection: it records every byte both ways with
// its time and the rates in force, changes nothing the program does, and a disk
// that fills up ends the capture, not the connection.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "capture/capture_format.h"
#include "capture/captured_session.h"
#include "capture/capturing_serial_device.h"
#include "forms/app.h"
#include "sim/ecu_scenario.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin {
namespace {

struct ConnectionRun {
  std::string log;
  std::array<std::string, kReadoutCount> readouts;
  std::vector<uint8_t> sent;
  std::vector<uint8_t> from_ecu;
  uint64_t burst_done_us = 0;  // since the port opened
  std::string capture_status;
};

// Connects a 15m ECU, reads live data for two seconds, then the adapter is pulled.
ConnectionRun Connection(const std::string& capture_path) {
  VirtualClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  EcuScenario scenario = DefaultScenario(EcuFamily::Ecu15m);
  scenario.ignition_delay_ms = 300;
  SimulatedLine line(clock, scenario);
  CapturingSerialDevice device(line.device(), [&clock] { return clock.elapsed_total() * 1000; });
  if (!capture_path.empty()) {
    std::string error;
    device.StartCapture(CaptureWriter::Create(capture_path, {}, &error));
    EXPECT_EQ(error, "");
  }
  app.protocol.MSComm1.device = &device;
  LoadMainWindow(app);
  ClickFamily(app, EcuFamily::Ecu15m);
  uint64_t opened_ms = 0;
  loop.Post([&] {
    ClickConnectSwitch(app);
    opened_ms = clock.elapsed_total();
    line.IgnitionOn();
  });
  loop.RunFor(3000);
  EXPECT_GT(app.protocol.live_frames, 5u);
  line.Vanish();
  loop.RunFor(200);
  ConnectionRun run;
  run.log = app.form2.Rtb1.Text();
  for (int i = 0; i < kReadoutCount; ++i) run.readouts[i] = app.form2.Text1[i].text;
  run.sent = line.SentByProgram();
  for (const WireByte& w : line.wire()) {
    if (w.from_program) continue;
    run.from_ecu.push_back(w.byte);
    if (run.from_ecu.size() == scenario.burst.size())
      run.burst_done_us = (w.done_ms - opened_ms) * 1000;
  }
  device.StopCapture();
  run.capture_status = device.CaptureStatus();
  return run;
}

TEST(CapturingSerialDevice, RecordsEveryByteWithoutChangingTheConnection) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("velarin-capturing-" + std::to_string(getpid()) + ".vcap"))
                               .string();
  const ConnectionRun plain = Connection("");
  const ConnectionRun captured = Connection(path);
  EXPECT_EQ(captured.log, plain.log);
  EXPECT_EQ(captured.readouts, plain.readouts);
  EXPECT_EQ(captured.sent, plain.sent);
  EXPECT_EQ(captured.capture_status, "");

  const CaptureParse parse = ReadCaptureFile(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(parse.capture) << parse.error;
  const std::vector<CaptureEvent>& events = parse.capture->events;
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.front().kind, CaptureEventKind::kOpen);
  EXPECT_EQ(events.front().rate, 1200);
  EXPECT_EQ(events.back().kind, CaptureEventKind::kGone);
  std::vector<uint8_t> sent;
  int switches = 0;
  for (const CaptureEvent& e : events) {
    if (e.kind == CaptureEventKind::kSent) sent.push_back(e.bytes.front());
    if (e.kind == CaptureEventKind::kRate && e.asked == 7812 && e.rate == 7812) ++switches;
  }
  EXPECT_EQ(sent, captured.sent);
  EXPECT_EQ(switches, 1);

  // Echoes aside, the capture holds exactly what the ECU sent; the burst is
  // stamped when the program first looked, within one polling tick of its end.
  const std::vector<CapturedSegment> segments = SplitCapturedSession(*parse.capture);
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_TRUE(segments[0].echo);
  std::vector<uint8_t> from_ecu;
  for (const CapturedByte& b : segments[0].unsolicited) from_ecu.push_back(b.byte);
  ASSERT_EQ(segments[0].unsolicited.size(), 6u);
  EXPECT_GE(segments[0].unsolicited.back().at_us, captured.burst_done_us);
  EXPECT_LE(segments[0].unsolicited.back().at_us, captured.burst_done_us + 55'000);
  for (const CapturedExchange& x : segments[0].exchanges) {
    for (const CapturedByte& b : x.answer) from_ecu.push_back(b.byte);
  }
  EXPECT_EQ(from_ecu, captured.from_ecu);
}

TEST(CapturingSerialDevice, AFullDiskStopsTheCaptureAndTheConnectionGoesOn) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const ConnectionRun plain = Connection("");
  const ConnectionRun full = Connection("/dev/full");
  EXPECT_EQ(full.capture_status, "capture stopped: No space left on device");
  EXPECT_EQ(full.log, plain.log);
  EXPECT_EQ(full.readouts, plain.readouts);
}

}  // namespace
}  // namespace velarin
