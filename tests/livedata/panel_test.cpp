#include "livedata/panel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/timer_on.h"
#include "link/link_port.h"
#include "sim/simulated_line.h"
#include "support/test_services.h"

namespace velarin {
namespace {

class PanelTest : public ::testing::Test {
 protected:
  PanelTest() {
    app.services = &services;
    for (int i = 0; i < kReadoutCount; ++i) app.form2.Text1[i].text = "r" + std::to_string(i);
  }

  // A connection: the switch down, the port open, the link initialised, the polling on.
  void LinkUp() {
    line = std::make_unique<SimulatedLine>(services.virtual_clock(), EcuScenario{});
    app.protocol.MSComm1.device = &line->device();
    OpenLinkPort(app.protocol.MSComm1, 1);
    app.form2.Check2.value = true;
    app.protocol.init = true;
    app.protocol.Timer1.enabled = true;
    app.protocol.Timer1.interval = 50;
  }

  std::vector<int> Checked() const {
    std::vector<int> on;
    for (int i = 0; i < kChannelCount; ++i) {
      if (app.form2.Check1[i].value) on.push_back(i);
    }
    return on;
  }

  testing::TestServices services;
  App app;
  std::unique_ptr<SimulatedLine> line;
};

TEST_F(PanelTest, ClearingWaterTempEmptiesItsReadoutAndRestartsThePolling) {
  LinkUp();
  services.virtual_clock().Advance(123);
  bool timer_running_at_yield = false;
  services.on_do_events = [&] { timer_running_at_yield = app.protocol.Timer1.enabled; };

  ClickChannel(app, 5);

  EXPECT_FALSE(app.form2.Check1[5].value);
  EXPECT_EQ(app.form2.Text1[5].text, "");
  for (int i : {0, 1, 2, 3, 4, 6, 7, 8, 9})
    EXPECT_EQ(app.form2.Text1[i].text, "r" + std::to_string(i));
  EXPECT_EQ(services.do_events, 1);
  EXPECT_TRUE(timer_running_at_yield);  // the yield comes before the stop
  EXPECT_TRUE(app.protocol.Timer1.enabled);
  EXPECT_EQ(app.protocol.Timer1.interval, 50);
  EXPECT_EQ(app.protocol.Timer1.generation, 2u);  // stopped, then restarted
  EXPECT_EQ(app.protocol.Timer1.restarted_at, 123u);
}

TEST_F(PanelTest, ClickBeforeTheLinkIsUpLeavesTheTimerAlone) {
  ClickChannel(app, 2);
  ClickChannel(app, 7);

  EXPECT_EQ(app.form2.Text1[2].text, "");
  EXPECT_EQ(app.form2.Text1[7].text, "");
  EXPECT_EQ(app.form2.Text1[0].text, "r0");
  EXPECT_FALSE(app.protocol.Timer1.enabled);
  EXPECT_EQ(app.protocol.Timer1.generation, 0u);
  EXPECT_EQ(services.do_events, 2);
}

TEST_F(PanelTest, ClearingAllNineBringsTheThrottleBack) {
  LinkUp();
  for (int i = 0; i < kChannelCount; ++i) ClickChannel(app, i);

  EXPECT_EQ(Checked(), std::vector<int>{6});
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(app.form2.Text1[i].text, "") << i;
  // Nine clicks and the one the re-checked throttle raises.
  EXPECT_EQ(services.do_events, 10);
  EXPECT_TRUE(app.protocol.Timer1.enabled);
  EXPECT_EQ(app.protocol.Timer1.interval, 50);
}

TEST_F(PanelTest, ClearingTheThrottleEmptiesTheWholeRowIncludingTheVoltage) {
  ClickChannel(app, 6);
  EXPECT_EQ(app.form2.Text1[6].text, "");
  EXPECT_EQ(app.form2.Text1[9].text, "");
}

TEST_F(PanelTest, CheckingAChannelAgainTouchesNoReadout) {
  ClickChannel(app, 3);
  app.form2.Text1[4].text = "kept";
  ClickChannel(app, 3);
  EXPECT_TRUE(app.form2.Check1[3].value);
  EXPECT_EQ(app.form2.Text1[3].text, "");  // stays empty until a frame writes it
  EXPECT_EQ(app.form2.Text1[4].text, "kept");
}

TEST_F(PanelTest, ClicksThatNoUserCouldMakeDoNothing) {
  app.form2.Check1[1].enabled = false;
  for (int index : {-1, 9, 1000}) ClickChannel(app, index);
  ClickChannel(app, 1);
  EXPECT_EQ(Checked().size(), 9u);
  EXPECT_EQ(services.do_events, 0);
  EXPECT_EQ(app.form2.Text1[1].text, "r1");
}

TEST_F(PanelTest, AClickQueuedDuringTheYieldRunsInsideIt) {
  LinkUp();
  bool once = false;
  services.on_do_events = [&] {
    if (once) return;
    once = true;
    ClickChannel(app, 0);  // a second click waiting in the queue
  };
  ClickChannel(app, 1);
  EXPECT_EQ(Checked(), (std::vector<int>{2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(app.form2.Text1[0].text, "");
  EXPECT_EQ(app.form2.Text1[1].text, "");
  EXPECT_TRUE(app.protocol.Timer1.enabled);
}

TEST_F(PanelTest, NoRestartWhileTheTestWindowHoldsTheLink) {
  LinkUp();
  services.on_do_events = [&] {  // the "Tests" menu was clicked just before
    TimerOn(app.protocol.Timer1, app.clock(), 0);
    app.form1.loaded = true;
  };
  ClickChannel(app, 4);
  EXPECT_EQ(app.form2.Text1[4].text, "");
  EXPECT_FALSE(app.protocol.Timer1.enabled);
}

struct SetChannelsCase {
  const char* what;
  std::vector<int> before;  // checked before
  std::vector<bool> wanted;
  std::vector<int> after;
  int clicks;
};

TEST_F(PanelTest, SetChannelsClicksOnlyTheBoxesThatChange) {
  const std::vector<bool> only_rpm = {true, false, false, false, false, false, false, false, false};
  const SetChannelsCase cases[] = {
      {"what a P8 connect leaves, to rpm only", {6, 7}, only_rpm, {0}, 3},
      {"all to rpm only", {0, 1, 2, 3, 4, 5, 6, 7, 8}, only_rpm, {0}, 8},
      {"unchanged", {0, 4}, {true, false, false, false, true}, {0, 4}, 0},
      {"nothing wanted keeps the throttle", {0, 1}, {}, {6}, 3},
      {"throttle alone, nothing wanted", {6}, {}, {6}, 0},
      {"longer list ignores the rest",
       {6},
       {false, true, false, false, false, false, false, false, false, true, true},
       {1},
       2},
  };
  for (const SetChannelsCase& c : cases) {
    App fresh;
    testing::TestServices fresh_services;
    fresh.services = &fresh_services;
    for (int i = 0; i < kChannelCount; ++i) fresh.form2.Check1[i].value = false;
    for (int i : c.before) fresh.form2.Check1[i].value = true;

    SetChannels(fresh, c.wanted);

    std::vector<int> on;
    for (int i = 0; i < kChannelCount; ++i) {
      if (fresh.form2.Check1[i].value) on.push_back(i);
    }
    EXPECT_EQ(on, c.after) << c.what;
    EXPECT_EQ(fresh_services.do_events, c.clicks) << c.what;
  }
}

}  // namespace
}  // namespace velarin
