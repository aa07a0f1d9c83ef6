#include "livedata/frames.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/timer_on.h"
#include "frame_fixture.h"
#include "livedata/channels.h"
#include "livedata/panel.h"

namespace velarin {
namespace {

using testing::FrameTest;
using Bytes = std::vector<uint8_t>;

// One plausible reading of every live code.
std::map<uint8_t, uint8_t> FullReading() {
  return {{0x01, 0x0F}, {0x02, 0xA0}, {0x03, 0x01}, {0x04, 0x2C}, {0x05, 0x1F}, {0x06, 0x00},
          {0x07, 0x50}, {0x08, 0x8A}, {0x09, 0xAA}, {0x0A, 0xC8}, {0x0F, 0xFF}, {0x0B, 0x90}};
}

TEST_F(FrameTest, FullFrame15m) {
  Start(EcuFamily::Ecu15m, FullReading());
  ReadLiveFrame(app, kReadLive15m);

  const std::vector<std::string> shown = {"3750", "0.6",   "15.5", "121", "25",
                                          "83",   "30.01", "12.5", "127", "r9"};
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(form().Text1[i].text, shown[i]) << i;
  EXPECT_EQ(form().Label26.caption, "3750");
  EXPECT_TRUE(BarShows(38));  // 37.5 rounds to the even 38
  EXPECT_EQ(Sent(), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0F}));
  // Frame start, nine channel starts and the two pair pauses; the rest are polls.
  EXPECT_EQ(SleepsOf(8), 12u);
  EXPECT_EQ(SleepsOf(8) + SleepsOf(3), clock().sleeps().size());
  EXPECT_EQ(protocol().live_frames, 1u);
  EXPECT_EQ(services.do_events, 0);
  EXPECT_EQ(form().Label4.caption, "status");
  EXPECT_EQ(form().Rtb1.LineCount(), 0u);  // a frame logs nothing
}

TEST_F(FrameTest, FullFrame16mPausesTheInterByteDelay) {
  Start(EcuFamily::Ecu16m, FullReading());
  ReadLiveFrame(app, kReadLive16m);

  const std::vector<std::string> shown = {"3750", "0.6",   "15.5", "121", "25",
                                          "83",   "30.01", "12.5", "16",  "r9"};
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(form().Text1[i].text, shown[i]) << i;
  EXPECT_EQ(Sent(), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B}));
  EXPECT_EQ(SleepsOf(10), 12u);
  EXPECT_EQ(SleepsOf(10) + SleepsOf(3), clock().sleeps().size());
}

TEST_F(FrameTest, InterByteDelayIsReadAtEveryPause) {
  Start(EcuFamily::Ecu16m, FullReading());
  OnlyChannels({2, 3});
  // The frame start and the first channel pause run at 10 ms; the box changes after that.
  clock().Schedule(15, [this] { form().Text11.text = "12.5"; });
  ReadLiveFrame(app, kReadLive16m);
  EXPECT_EQ(SleepsOf(10), 2u);
  EXPECT_EQ(SleepsOf(12), 1u);  // 12.5 rounds half to even

  struct Case {
    const char* text;
    size_t pauses;
  };
  for (const Case& c : {Case{"abc", 0}, Case{"-4", 0}, Case{"&h0A", 3}}) {
    form().Text11.text = c.text;
    clock().ClearSleeps();
    ReadLiveFrame(app, kReadLive16m);
    EXPECT_EQ(clock().sleeps().size() - SleepsOf(3), c.pauses) << c.text;
    EXPECT_EQ(form().Text1[2].text, "15.5") << c.text;
  }
}

TEST_F(FrameTest, FullFrameP8) {
  Start(EcuFamily::EcuP8, FullReading());
  ReadLiveFrame(app, kReadLiveP8);

  const std::vector<std::string> shown = {"7500", "0.6",   "15.5", "121", "47.5",
                                          "17.",  "30.01", "12.5", "16",  "r9"};
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(form().Text1[i].text, shown[i]) << i;
  EXPECT_EQ(form().Label26.caption, "7500");
  EXPECT_TRUE(BarShows(75));
  EXPECT_EQ(Sent(), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B}));
  EXPECT_EQ(SleepsOf(8), 12u);
  EXPECT_EQ(services.do_events, 1);
  EXPECT_EQ(form().Label4.caption, "");
}

TEST_F(FrameTest, OnlyThrottle15m) {
  Start(EcuFamily::Ecu15m, FullReading());
  OnlyChannels({6});
  ReadLiveFrame(app, kReadLive15m);

  EXPECT_EQ(Sent(), Bytes{0x09});
  EXPECT_EQ(SleepsOf(8), 2u);  // the frame start and the channel start
  ASSERT_GE(clock().sleeps().size(), 2u);
  EXPECT_EQ(clock().sleeps()[0], 8u);
  EXPECT_EQ(clock().sleeps()[1], 8u);
  for (int i = 0; i < kReadoutCount; ++i) {
    EXPECT_EQ(form().Text1[i].text, i == 6 ? "30.01" : "r" + std::to_string(i)) << i;
  }
  EXPECT_EQ(form().Label26.caption, "l26");
  EXPECT_EQ(LitSegments(), 0);
}

TEST_F(FrameTest, Throttle15RcSendsTheSecondCodeAtOnce) {
  Start(EcuFamily::Ecu15Rc, {{0x09, 100}, {0x3A, 50}});
  OnlyChannels({6});
  ReadLiveFrame(app, kReadLive15m);

  EXPECT_EQ(form().Text1[9].text, "1.94");
  EXPECT_EQ(form().Text1[6].text, "75.7");
  EXPECT_EQ(Sent(), (Bytes{0x09, 0x3A}));
  EXPECT_EQ(SleepsOf(8), 2u);  // no pause between 0x09 and 0x3A
}

TEST_F(FrameTest, Throttle15RcWithoutTheSecondEchoCountsItAsZero) {
  Start(EcuFamily::Ecu15Rc, {{0x09, 100}, {0x3A, 50}});
  line->scenario().stray_before_echo[0x3A] = {0x00};  // shifts the pair out of step
  OnlyChannels({6});
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_EQ(form().Text1[9].text, "1.94");
  EXPECT_EQ(form().Text1[6].text, "125.7");  // 100 x 0.42 + 100 - 0 - 16.3
}

TEST_F(FrameTest, TimeOutDropsTheRestOfTheFrameAndKeepsLaterReadouts) {
  Start(EcuFamily::Ecu15m, FullReading());
  line->scenario().answers[0x06] = {};  // the ECU does not answer the pressure request
  const uint32_t start = clock().NowMs();
  ReadLiveFrame(app, kReadLive15m);

  EXPECT_EQ(Sent(), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}));
  EXPECT_EQ(form().Text1[0].text, "3750");
  EXPECT_EQ(form().Text1[2].text, "15.5");
  for (int i = 3; i < kReadoutCount; ++i) {
    EXPECT_EQ(form().Text1[i].text, "r" + std::to_string(i)) << i;
  }
  EXPECT_GT(Elapsed(start, clock().NowMs()), 2000);
  EXPECT_LT(Elapsed(start, clock().NowMs()), 2200);
  EXPECT_EQ(form().Rtb1.LineCount(), 0u);

  // The next frame starts from channel 0 again.
  line->scenario().answers.erase(0x06);
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_EQ(Sent(), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0F}));
  EXPECT_EQ(form().Text1[3].text, "121");
}

TEST_F(FrameTest, TimeOutOnTheSecondCodeOfAPair) {
  Start(EcuFamily::Ecu15m, FullReading());
  line->scenario().answers[0x02] = {};
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_EQ(Sent(), (Bytes{0x01, 0x02}));
  EXPECT_EQ(form().Text1[0].text, "r0");
  EXPECT_EQ(form().Text1[1].text, "r1");
}

TEST_F(FrameTest, StaleByteInFrontOfAnAnswerLeavesTheReadout) {
  Start(EcuFamily::Ecu16m, FullReading());
  OnlyChannels({8});
  // Frame pause 0-10, flush; channel pause 10-20, flush, 0x0B. A byte the ECU
  // starts at 19 ms lands after that flush and before the echo.
  clock().Schedule(19, [this] { line->InjectFromEcu({0x55}); });
  const uint32_t start = clock().NowMs();
  ReadLiveFrame(app, kReadLive16m);
  EXPECT_EQ(Sent(), Bytes{0x0B});
  EXPECT_EQ(form().Text1[8].text, "r8");
  EXPECT_LT(Elapsed(start, clock().NowMs()), 40);  // answered, not timed out

  // The late answer is flushed by the next frame, which reads normally.
  ReadLiveFrame(app, kReadLive16m);
  EXPECT_EQ(form().Text1[8].text, "16");
}

TEST_F(FrameTest, EchoOutOfStepLeavesEachChannelAlone) {
  Start(EcuFamily::Ecu15m, FullReading());
  line->scenario().stray_before_echo[0x05] = {0x00};
  line->scenario().stray_before_echo[0x04] = {0x00};
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_EQ(form().Text1[0].text, "3750");
  EXPECT_EQ(form().Text1[1].text, "r1");  // lo not behind its echo
  EXPECT_EQ(form().Text1[2].text, "r2");
  EXPECT_EQ(form().Text1[3].text, "121");
}

struct RpmCase {
  const char* what;
  uint8_t hi;
  uint8_t lo;
  const char* text1;
  const char* label26;
  int lit;  // -1: bar untouched
};

class RpmPairTest : public FrameTest {
 protected:
  void Run(EcuFamily family, const RpmCase& c) {
    Start(family, {{0x01, c.hi}, {0x02, c.lo}});
    OnlyChannels({0});
    for (LineSegment& s : form().Line1) s.border_color = 0x1234;  // neither lit nor unlit
    if (family == EcuFamily::EcuP8) {
      ReadLiveFrame(app, kReadLiveP8);
    } else {
      ReadLiveFrame(app, kReadLive15m);
    }
    EXPECT_EQ(form().Text1[0].text, c.text1) << c.what;
    EXPECT_EQ(form().Label26.caption, c.label26) << c.what;
    if (c.lit < 0) {
      for (const LineSegment& s : form().Line1) EXPECT_EQ(s.border_color, 0x1234u) << c.what;
    } else {
      EXPECT_TRUE(BarShows(c.lit)) << c.what;
    }
  }
};

TEST_F(RpmPairTest, Rules15m) {
  const RpmCase cases[] = {
      {"3750 rpm", 0x0F, 0xA0, "3750", "3750", 38},
      {"1250 rpm", 0x2E, 0xE0, "1250", "1250", 12},
      {"both FF", 0xFF, 0xFF, " ----", "l26", -1},
      {"hi FF only", 0xFF, 0x10, "r0", "l26", -1},
      {"period 0", 0x00, 0x00, "r0", "l26", -1},
      {"beyond the bar", 0x00, 0x01, "15000000", "15000000", 120},
      {"just below the top", 0x04, 0xE8, "11942", "11942", 119},
      {"just above the top", 0x04, 0xE7, "11952", "11952", 120},
      {"lowest speed", 0xFE, 0xFF, "229", "229", 2},
  };
  for (const RpmCase& c : cases) Run(EcuFamily::Ecu15m, c);
}

TEST_F(RpmPairTest, RulesP8) {
  const RpmCase cases[] = {
      {"7500 rpm", 0x0F, 0xA0, "7500", "7500", 75},
      {"both 00", 0x00, 0x00, " 0", "l26", -1},
      {"hi 00", 0x00, 0x10, "r0", "l26", -1},
      {"lo 00", 0x10, 0x00, "r0", "l26", -1},
      // The speed of 65535 stays on the bar and Label26; the readout says " ----".
      {"both FF", 0xFF, 0xFF, " ----", "457", 5},
      {"hi FF", 0xFF, 0x10, "459", "459", 5},
      {"beyond the bar", 0x01, 0x01, "116731", "116731", 120},
  };
  for (const RpmCase& c : cases) Run(EcuFamily::EcuP8, c);
}

TEST_F(FrameTest, BarLightsBelowTheLevelAndClearsTheRest) {
  Start(EcuFamily::Ecu15m, {{0x01, 0x0F}, {0x02, 0xA0}});
  OnlyChannels({0});
  for (LineSegment& s : form().Line1) s.border_color = kColorWindowFrame;
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_TRUE(BarShows(38));
  line->scenario().raw = {{0x01, 0x2E}, {0x02, 0xE0}};  // down to 1250
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_TRUE(BarShows(12));
}

TEST_F(FrameTest, FFMeansNoValueFor15mButNotForP8) {
  std::map<uint8_t, uint8_t> all_ff;
  for (uint8_t code : {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0F}) {
    all_ff[code] = 0xFF;
  }
  Start(EcuFamily::Ecu15m, all_ff);
  ReadLiveFrame(app, kReadLive15m);
  const std::vector<std::string> shown_15m = {" ----", "r1", "r2", "r3",  "r4",
                                              "r5",    "r6", "r7", "127", "r9"};
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(form().Text1[i].text, shown_15m[i]) << i;

  Start(EcuFamily::Ecu16m, all_ff);
  ReadLiveFrame(app, kReadLive16m);
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(form().Text1[i].text, shown_15m[i]) << i;

  Start(EcuFamily::EcuP8, all_ff);
  ReadLiveFrame(app, kReadLiveP8);
  const std::vector<std::string> shown_p8 = {" ----", "131.07", "127.5",   "1099", "-55.",
                                             "-55.",  "89.98",  "15.9375", "127",  "r9"};
  for (int i = 0; i < kReadoutCount; ++i) EXPECT_EQ(form().Text1[i].text, shown_p8[i]) << i;
}

TEST_F(FrameTest, P8TemperaturesComeFromTheTable) {
  struct Case {
    uint8_t raw;
    const char* shown;
  };
  const Case cases[] = {{0x20, "125."}, {0x21, "122.1"}, {0x80, "22."}, {0xE0, "-55."},
                        {0xE1, "-55."}, {0x70, "29.5"},  {0xF5, "-55."}};
  for (const Case& c : cases) {
    Start(EcuFamily::EcuP8, {{0x07, c.raw}, {0x08, c.raw}});
    OnlyChannels({4, 5});
    ReadLiveFrame(app, kReadLiveP8);
    EXPECT_EQ(form().Text1[4].text, c.shown) << int(c.raw);
    EXPECT_EQ(form().Text1[5].text, c.shown) << int(c.raw);
  }
}

TEST_F(FrameTest, ClosedPortMakesNoExchange) {
  Start(EcuFamily::EcuP8, FullReading());
  CloseLinkPort(protocol().MSComm1);
  Sent();
  ReadLiveFrame(app, kReadLiveP8);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(clock().sleeps().empty());
  EXPECT_EQ(protocol().live_frames, 0u);
  // P8 still yields once and clears the status line before it looks at the port.
  EXPECT_EQ(services.do_events, 1);
  EXPECT_EQ(form().Label4.caption, "");
  EXPECT_EQ(form().Text1[0].text, "r0");

  ReadLiveFrame(app, kReadLive15m);
  ReadLiveFrame(app, kReadLive16m);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(clock().sleeps().empty());
}

TEST_F(FrameTest, P8YieldCanDisconnectBeforeTheFrame) {
  Start(EcuFamily::EcuP8, FullReading());
  services.on_do_events = [this] { CloseLinkPort(protocol().MSComm1); };
  ReadLiveFrame(app, kReadLiveP8);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(form().Text1[0].text, "r0");
}

TEST_F(FrameTest, P8FrameStopsWhenItsYieldHandsTheLinkOver) {
  struct Case {
    const char* what;
    std::function<void(App&)> during_yield;
    bool frame_goes_on;
  };
  const Case cases[] = {
      {"test window opened",
       [](App& a) {
         TimerOn(a.protocol.Timer1, a.clock(), 0);
         a.form1.loaded = true;
       },
       false},
      {"polling stopped", [](App& a) { TimerOn(a.protocol.Timer1, a.clock(), 0); }, false},
      {"test window opened, polling untouched", [](App& a) { a.form1.loaded = true; }, false},
      // A selector click or a fault read stops the polling and restarts it.
      {"polling stopped and restarted",
       [](App& a) {
         TimerOn(a.protocol.Timer1, a.clock(), 0);
         TimerOn(a.protocol.Timer1, a.clock(), 50);
       },
       true},
      {"nothing pending", [](App&) {}, true},
  };
  for (const Case& c : cases) {
    Start(EcuFamily::EcuP8, FullReading());
    OnlyChannels({7});
    app.form1.loaded = false;
    TimerOn(app.protocol.Timer1, app.clock(), 50);  // a frame runs inside a polling tick
    services.on_do_events = [&] { c.during_yield(app); };
    ReadLiveFrame(app, kReadLiveP8);
    EXPECT_EQ(Sent().empty(), !c.frame_goes_on) << c.what;
    EXPECT_EQ(form().Text1[7].text, c.frame_goes_on ? "12.5" : "r7") << c.what;
    EXPECT_EQ(form().Label4.caption, "") << c.what;
  }
}

TEST_F(FrameTest, TrimmerReachesTheTestWindowOnlyWhileItIsOpen) {
  struct Case {
    const char* what;
    bool loaded;
    uint8_t raw;
    const char* readout;
    int slider;         // expected Slider1 value
    const char* text2;  // expected Text2
  };
  const Case cases[] = {
      {"open", true, 0x85, "5", 5, "132"},
      {"open, lowest handed over", true, 0x01, "-127", -127, "0"},
      {"open, top value is not", true, 0xFF, "127", 99, "untouched"},
      {"open, bottom value is not", true, 0x00, "-128", 99, "untouched"},
      {"closed", false, 0x85, "5", 99, "untouched"},
  };
  for (const Case& c : cases) {
    Start(EcuFamily::Ecu15m, {{0x0F, c.raw}});
    OnlyChannels({8});
    app.form1.loaded = c.loaded;
    app.form1.Slider1.value = 99;
    app.form1.Text2.text = "untouched";
    ReadLiveFrame(app, kReadLive15m);
    EXPECT_EQ(form().Text1[8].text, c.readout) << c.what;
    EXPECT_EQ(app.form1.Slider1.value, c.slider) << c.what;
    EXPECT_EQ(app.form1.Text2.text, c.text2) << c.what;
    EXPECT_EQ(app.form1.loaded, c.loaded) << c.what;  // a frame never loads the test window
    EXPECT_FALSE(line->in_diagnostic_mode()) << c.what;
  }
}

TEST_F(FrameTest, OnlyThe15mFamilyHandsTheTrimmerOver) {
  for (EcuFamily family : {EcuFamily::Ecu16m, EcuFamily::EcuP8}) {
    Start(family, {{0x0B, 0x85}});
    OnlyChannels({8});
    app.form1.loaded = true;
    app.form1.Slider1.value = 99;
    family == EcuFamily::Ecu16m ? ReadLiveFrame(app, kReadLive16m)
                                : ReadLiveFrame(app, kReadLiveP8);
    EXPECT_EQ(form().Text1[8].text, "5");
    EXPECT_EQ(app.form1.Slider1.value, 99);
  }
}

TEST_F(FrameTest, ClearedChannelsAreNeitherAskedNorShown) {
  Start(EcuFamily::Ecu15m, FullReading());
  protocol().init = true;
  ClickChannel(app, 5);  // "water temp"
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_EQ(Sent(), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0F}));
  EXPECT_EQ(form().Text1[5].text, "");
  EXPECT_EQ(form().Text1[4].text, "25");

  for (int i = 0; i < kChannelCount; ++i) {
    if (form().Check1[i].value) ClickChannel(app, i);
  }
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_EQ(Sent(), Bytes{0x09});  // only the throttle came back
  for (int i = 0; i < kChannelCount; ++i) {
    EXPECT_EQ(form().Text1[i].text, i == kThrottle ? "30.01" : "") << i;
  }
}

TEST_F(FrameTest, ReadoutsUseTheDecimalSeparator) {
  Start(EcuFamily::EcuP8, FullReading());
  SetDecimalSeparator(",");
  ReadLiveFrame(app, kReadLiveP8);
  EXPECT_EQ(form().Text1[1].text, "0,6");
  EXPECT_EQ(form().Text1[4].text, "47,5");
  EXPECT_EQ(form().Text1[6].text, "30,01");
  EXPECT_EQ(form().Text1[0].text, "7500");
}

TEST_F(FrameTest, EveryFrameOnAnOpenPortIsCounted) {
  Start(EcuFamily::Ecu15m, FullReading());
  line->scenario().answers[0x01] = {};
  ReadLiveFrame(app, kReadLive15m);  // abandoned, but begun
  line->scenario().answers.clear();
  ReadLiveFrame(app, kReadLive15m);
  EXPECT_EQ(protocol().live_frames, 2u);
}

}  // namespace
}  // namespace velarin
