// The in-process simulated line that --simulate uses on Windows. It follows
// whatever clock it is given; here the virtual one, so the tests run in
// microseconds and time moves only when a test or the program sleeps.

#include "sim/realtime_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "forms/app.h"
#include "platform/serial_errors.h"
#include "protocol/kline_codes.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin {
namespace {

TEST(RealtimeLine, DataArrivedIsSetByTheFirstByteBeforeAnyRead) {
  VirtualClock clock;
  RealtimeLine line(clock, DefaultScenario(EcuFamily::Ecu15m));
  SerialDevice& dev = line.device();
  ASSERT_TRUE(dev.Open("sim"));
  ASSERT_TRUE(dev.WriteByte(kline::kIdentFirst));
  clock.Advance(8);
  EXPECT_FALSE(dev.DataArrived());  // the echo needs 8.33 ms at 1200 baud
  clock.Advance(1);
  EXPECT_TRUE(dev.DataArrived());  // asked first, before any count or read
  EXPECT_EQ(dev.ReadAll(), std::vector<uint8_t>{kline::kIdentFirst});
  dev.Close();
  ASSERT_TRUE(dev.Open("sim"));
  EXPECT_FALSE(dev.DataArrived());
}

TEST(RealtimeLine, AConnectionReachesLiveDataAndAPulledAdapterEndsIt) {
  VirtualClock clock;
  RealtimeLine line(clock, DefaultScenario(EcuFamily::Ecu15m));
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  app.protocol.MSComm1.device = &line.device();
  app.protocol.MSComm1.device_path = "simulated ECU";
  LoadMainWindow(app);
  ClickFamily(app, EcuFamily::Ecu15m);
  ClickConnectSwitch(app);
  line.IgnitionOn(500);
  line.IgnitionOff();  // the key turned back before the ECU powered up
  loop.RunFor(2000);
  EXPECT_FALSE(app.protocol.init);
  line.IgnitionOn(1000);
  ASSERT_TRUE(loop.RunUntil([&] { return app.protocol.live_frames >= 2; }, 10000))
      << app.form2.Rtb1.Text();
  EXPECT_NE(app.form2.Text4.text.find("ecu data    : VLR15M0107"), std::string::npos);

  line.Hangup();
  EXPECT_TRUE(line.device().Vanished());
  EXPECT_FALSE(line.device().Open("simulated ECU"));
  EXPECT_EQ(line.device().LastError(),
            "simulated ECU: " + std::string(serial_texts::kNoSuchDevice));
}

}  // namespace
}  // namespace velarin
