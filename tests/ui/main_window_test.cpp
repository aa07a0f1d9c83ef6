#include "ui/main_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "forms/captions.h"
#include "forms/timer_on.h"
#include "livedata/panel.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/navigation.h"

namespace velarin {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : loop_(app_, clock_) {
    WireMainLoop(loop_, app_);
    dir_ = fs::temp_directory_path() /
           ("velarin-ui-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    app_.settings_path = (dir_ / "velarin.ini").string();
  }
  ~MainWindowTest() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  VirtualClock clock_;
  App app_;
  EventLoop loop_;
  fs::path dir_;
};

TEST_F(MainWindowTest, OpensWithTheDefaults) {
  LoadMainWindow(app_);
  const Form2& f = app_.form2;
  EXPECT_TRUE(f.loaded);
  EXPECT_EQ(SelectedFamily(f), EcuFamily::Ecu15m);
  EXPECT_EQ(f.Text6.text, "1");
  EXPECT_FALSE(f.Text1[9].visible);
  EXPECT_FALSE(f.Label9.visible);
  EXPECT_FALSE(f.Command11.enabled) << "DTC disabled at start";
  EXPECT_TRUE(f.test.enabled) << "Tests enabled at start";
  EXPECT_TRUE(f.Check3.value);
  EXPECT_FALSE(f.Check4.value);
  const ProtocolState& p = app_.protocol;
  EXPECT_FALSE(p.init || p.ecuinf || p.cal_ask);
  EXPECT_FALSE(p.Timer1.enabled) << "the connection starts only with the switch";
  for (int i = 0; i < kChannelCount; ++i) EXPECT_TRUE(f.Check1[i].value) << i;
  EXPECT_FALSE(fs::exists(app_.settings_path));
}

TEST_F(MainWindowTest, LoadResetsFlagsBeforeRestoringTheFamily) {
  std::ofstream(app_.settings_path) << "[Hardware]\nCom=4\nEcu=4\n";
  app_.protocol.init = app_.protocol.ecuinf = app_.protocol.cal_ask = true;
  app_.protocol.link_losses = 3;
  LoadMainWindow(app_);
  EXPECT_FALSE(app_.protocol.init || app_.protocol.ecuinf || app_.protocol.cal_ask);
  EXPECT_EQ(app_.protocol.link_losses, 0u);
  EXPECT_EQ(app_.form2.Text6.text, "4");
  EXPECT_EQ(SelectedFamily(app_.form2), EcuFamily::Ecu15Rc);
  EXPECT_TRUE(app_.form2.Text1[9].visible) << "restored as a click would";
}

TEST_F(MainWindowTest, ActionsQueuedOnTheLoopRunInOrder) {
  EcuScenario scenario;
  scenario.family = EcuFamily::Ecu15Rc;
  SimulatedLine line(clock_, scenario);
  line.IgnitionOn();
  app_.protocol.MSComm1.device = &line.device();
  app_.protocol.MSComm1.device_path = "/dev/ttyVIRT0";
  LoadMainWindow(app_);
  loop_.Post([&] { SetComText(app_, "2"); });
  loop_.Post([&] { ClickFamily(app_, EcuFamily::Ecu15Rc); });
  loop_.Post([&] { ClickConnectSwitch(app_); });
  ASSERT_TRUE(loop_.RunUntil([&] { return app_.protocol.cal_ask; }, 5000));
  EXPECT_EQ(app_.form2.Check2.caption, captions::kDisconnect);
  EXPECT_EQ(app_.protocol.MSComm1.CommPort, 2);
  EXPECT_GE(loop_.ticks_run(), 1u) << "the loop ran the main tick";
  loop_.Post([&] { ClickConnectSwitch(app_); });
  loop_.RunFor(100);
  EXPECT_EQ(app_.form2.Check2.caption, captions::kConnect);
  EXPECT_FALSE(app_.protocol.Timer1.enabled);
}

TEST_F(MainWindowTest, SwitchesToggleAndRunTheirHandlers) {
  LoadMainWindow(app_);
  ClickCheck4(app_);
  EXPECT_TRUE(app_.form2.Check4.value);
  EXPECT_TRUE(app_.protocol.cal_ask);
  ClickCheck4(app_);
  EXPECT_FALSE(app_.form2.Check4.value);
  EXPECT_TRUE(app_.protocol.cal_ask);
  ClickCheck3(app_);
  EXPECT_FALSE(app_.form2.Check3.value);
  EXPECT_FALSE(app_.protocol.ecuinf);
}

TEST_F(MainWindowTest, ButtonsWithoutAPortLogTheSkipLines) {
  LoadMainWindow(app_);
  ClickEcuInfoButton(app_);
  ClickCalibrationButton(app_);
  EXPECT_EQ(app_.form2.Rtb1.Text(), "Ecu info: 0 \r\nCal: 0 \r\n");
  EXPECT_TRUE(app_.protocol.ecuinf && app_.protocol.cal_ask);
}

}  // namespace
}  // namespace velarin

namespace velarin {
namespace {

// A P8 Connect clears most selectors; ticking one back on during live data polls it again.
TEST(MainWindowLiveTest, ChannelTickedBackOnDuringP8LiveDataIsPolled) {
  VirtualClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, DefaultScenario(EcuFamily::EcuP8));
  app.protocol.MSComm1.device = &line.device();
  LoadMainWindow(app);
  ClickFamily(app, EcuFamily::EcuP8);
  line.IgnitionOn();
  loop.Post([&] { ClickConnectSwitch(app); });
  loop.RunFor(1000);
  ASSERT_TRUE(app.protocol.cal_ask);
  ASSERT_FALSE(app.form2.Check1[0].value);
  loop.Post([&] { ClickChannel(app, 0); });
  loop.RunFor(1000);
  EXPECT_TRUE(app.form2.Check1[0].value);
  EXPECT_FALSE(app.form2.Text1[0].text.empty());
}

// Selector handlers yield, so a click queued right behind one runs inside it; what that
// click did to the link must stand when the handler goes on (found by fuzz_ui_actions).
TEST(MainWindowLiveTest, AClickRunInsideASelectorYieldKeepsThePollingItLeft) {
  struct Case {
    EcuFamily family;
    std::function<void(App&)> first;   // a handler that yields
    std::function<void(App&)> second;  // queued behind it
    bool test_window_open;
  };
  const Case cases[] = {
      // P8's Connect clears selectors; "Tests" opens the window that then owns the link.
      {EcuFamily::EcuP8, ClickConnectSwitch, ClickTestsMenu, true},
      // A channel click during live data, then the program ends: the port is closed.
      {EcuFamily::Ecu15m, [](App& app) { ClickChannel(app, 0); }, UnloadMainWindow, false},
  };
  for (const Case& c : cases) {
    VirtualClock clock;
    App app;
    EventLoop loop(app, clock);
    WireMainLoop(loop, app);
    SimulatedLine line(clock, DefaultScenario(c.family));
    app.protocol.MSComm1.device = &line.device();
    LoadMainWindow(app);
    ClickFamily(app, c.family);
    line.IgnitionOn();
    if (c.family != EcuFamily::EcuP8) {
      loop.Post([&] { ClickConnectSwitch(app); });
      loop.RunUntil([&] { return app.protocol.cal_ask; }, 10000);
    }
    loop.Post([&] { c.first(app); });
    loop.Post([&] { c.second(app); });
    loop.RunFor(2000);
    EXPECT_EQ(app.form1.loaded, c.test_window_open);
    EXPECT_FALSE(app.protocol.Timer1.enabled) << static_cast<int>(c.family);
  }
}

}  // namespace
}  // namespace velarin
