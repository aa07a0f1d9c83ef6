// The Win32 serial back end under wine, against velarin-ecusim on a Linux
// pseudo-terminal that wine serves as a COM port: run_with_ecu.sh starts the ECU,
// preloads pty_serial_shim.cpp into wine and names the port in VELARIN_WINE_COM.
// The ECU's ignition goes on a few seconds after it started, so the tests before
// the wake-up (the order below) finish long before its burst.
//
// What wine cannot show, and only a real Windows machine can: 7812 baud on a wire
// (a pty has no line timing; wine hands 7812 to the driver as a custom divisor,
// which the shim applies to the pty, and reads the rate back as 38400); the 15.6 ms
// sleep steps of Windows without timeBeginPeriod (wine sleeps as Linux does); a
// port held by another program; a USB adapter unplugged.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "forms/app.h"
#include "link/initial.h"
#include "link/link_port.h"
#include "platform/clock.h"
#include "platform/serial_errors.h"
#include "platform/win32_serial_device.h"
#include "protocol/kline_codes.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"

namespace velarin {
namespace {

std::string EcuPort() {
  const char* port = std::getenv("VELARIN_WINE_COM");
  return port != nullptr ? port : "";
}

// The real clock, noting when each pause of `ms` began.
class PauseClock : public Clock {
 public:
  explicit PauseClock(uint32_t ms) : ms_(ms) {}
  uint32_t NowMs() override { return real_.NowMs(); }
  void Sleep(uint32_t ms) override {
    if (ms == ms_) starts.push_back(real_.NowMs());
    real_.Sleep(ms);
  }
  void Idle(uint32_t ms, Wakeup& wake) override { real_.Idle(ms, wake); }
  std::vector<uint32_t> starts;

 private:
  SystemClock real_;
  uint32_t ms_;
};

TEST(Win32SerialUnderWine, AMissingPortGivesItsReason) {
  Win32SerialDevice device;
  EXPECT_FALSE(device.Open("COM250"));
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.LastError(), "COM250: " + std::string(serial_texts::kNoSuchDevice));
}

TEST(Win32SerialUnderWine, OpensAt1200WithDtrAndRtsAndSeesDataBeforeAnyRead) {
  ASSERT_FALSE(EcuPort().empty()) << "run through run_with_ecu.sh";
  Win32SerialDevice device;
  ASSERT_TRUE(device.Open(EcuPort())) << device.LastError();
  EXPECT_EQ(device.ReadBaud(), 1200);
  // Wine answers these from the modem lines it reads back (TIOCMGET).
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  ASSERT_TRUE(GetCommState(device.handle(), &dcb));
  EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
  EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));

  // The adapter echoes even a sleeping ECU's line: the echo is the first byte received.
  EXPECT_FALSE(device.DataArrived());
  ASSERT_TRUE(device.WriteByte(kline::kIdentFirst));
  const uint32_t start = GetTickCount();
  while (!device.DataArrived() && GetTickCount() - start < 2000) Sleep(1);
  EXPECT_TRUE(device.DataArrived()) << "the driver holds a byte that nothing has read yet";
  EXPECT_EQ(device.ReadAll(), std::vector<uint8_t>{kline::kIdentFirst});
}

TEST(Win32SerialUnderWine, Wakes15mAndReadsItsIdentification) {
  ASSERT_FALSE(EcuPort().empty()) << "run through run_with_ecu.sh";
  const std::filesystem::path settings =
      std::filesystem::temp_directory_path() / "velarin-wine-serial.ini";
  std::filesystem::remove(settings);
  PauseClock clock(kWakeAnswerGapMs);
  Win32SerialDevice device;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  app.settings_path = settings.string();
  app.protocol.MSComm1.device = &device;
  app.protocol.MSComm1.device_path = EcuPort();
  LoadMainWindow(app);
  ClickFamily(app, EcuFamily::Ecu15m);
  ClickConnectSwitch(app);
  ASSERT_TRUE(app.protocol.MSComm1.PortOpen()) << app.form2.status_bar;

  // The burst comes seconds later; every tick until then finds no data.
  loop.RunUntil([&] { return app.protocol.live_frames >= 1; }, 20000);
  const std::string log = app.form2.Rtb1.Text();
  EXPECT_NE(app.form2.Text4.text.find("Iso Code    : 55018A132740"), std::string::npos) << log;
  const size_t waiting = log.find("init = false => call initial ");
  const size_t woken = log.find("Iso code OK\r\n");
  EXPECT_LT(waiting, woken) << log;
  EXPECT_NE(log.find("Tx => 0x0F\r\nTx => 0xAA\r\nTx => 0xCC\r\ninit successfull\r\n7812\r\n"),
            std::string::npos)
      << log;
  ASSERT_EQ(clock.starts.size(), 3u) << "one pause after each answer";
  for (size_t i = 1; i < clock.starts.size(); ++i) {
    const uint32_t gap = clock.starts[i] - clock.starts[i - 1];
    EXPECT_GE(gap, kWakeAnswerGapMs);
    EXPECT_LE(gap, kWakeAnswerGapMs + 15) << "answer " << i;
  }
  // At 7812 baud: the identification read needs the switch to have reached the ECU.
  EXPECT_NE(app.form2.Text4.text.find("ecu data    : VLR15M0107"), std::string::npos)
      << app.form2.Text4.text << log;
  EXPECT_GE(app.protocol.live_frames, 1u);
  ClickConnectSwitch(app);
  EXPECT_FALSE(device.IsOpen());
  std::filesystem::remove(settings);
}

}  // namespace
}  // namespace velarin
