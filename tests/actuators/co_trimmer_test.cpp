#include "actuators/co_trimmer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "actuators/awake_link.h"
#include "link/link_port.h"
#include "ui/test_window.h"

namespace velarin {
namespace {

using testing::AwakeLink;
using testing::Bytes;
using testing::Lines;
using testing::LogLines;

struct OpenWindow : AwakeLink {
  explicit OpenWindow(EcuScenario s = {}) : AwakeLink(std::move(s)) {
    BringUp();
    OpenTestWindow();
  }
  // Regulation on, with its log and sent bytes forgotten.
  void Regulate() {
    ClickCoOn(app);
    app.form1.Rtb1.Clear();
    sent_mark = line.SentByProgram().size();
  }
};

int EnabledTestButtons(const Form1& f) {
  int n = 0;
  for (const Button& b : f.Command) n += b.enabled ? 1 : 0;
  return n;
}

TEST(CoRegulation, WindowOpensRegulationOff) {
  OpenWindow rig;
  const Form1& f = rig.app.form1;
  EXPECT_TRUE(f.Option2.value);
  EXPECT_FALSE(f.Option1.value);
  EXPECT_EQ(EnabledTestButtons(f), kTestButtonCount);
  EXPECT_FALSE(f.Command10.enabled);
  EXPECT_FALSE(f.Slider1.enabled);
  EXPECT_EQ(f.Text2.text, "");
  EXPECT_EQ(f.Slider1.value, 0);
  // Disabled trimmer controls do nothing.
  MoveSlider(rig.app, 10);
  EXPECT_EQ(f.Slider1.value, 0);
  SetTrimmerText(rig.app, "100");
  ClickTrimmerOk(rig.app);
  EXPECT_TRUE(rig.Sent().empty());
}

TEST(CoRegulation, OnSwapsTheControlsAndEntersRegulation) {
  OpenWindow rig;
  ClickCoOn(rig.app);
  const Form1& f = rig.app.form1;
  EXPECT_EQ(EnabledTestButtons(f), 0);
  EXPECT_TRUE(f.Command10.enabled);
  EXPECT_TRUE(f.Slider1.enabled);
  EXPECT_EQ(rig.Sent(), Bytes{0x8D});
  EXPECT_EQ(LogLines(f.Rtb1), (Lines{"8D8D", "Enter CO Regulation OK"}));
  EXPECT_TRUE(rig.line.in_co_regulation());
  EXPECT_EQ(rig.clock().sleeps().front(), 50u);
  // Test buttons are disabled now: a click sends nothing.
  ClickTest(rig.app, 1);
  EXPECT_EQ(rig.Sent(), Bytes{0x8D});
}

TEST(CoRegulation, EntryAnswersOtherThan8D) {
  struct Case {
    std::vector<uint8_t> answer;
    Lines log;
  } cases[] = {
      {{0xFF}, {"8DFF", "Test finish"}}, {{0x00}, {"8D00"}}, {{}, {}},  // time-out: nothing logged
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log.empty() ? "silence" : c.log[0]);
    EcuScenario s;
    s.co_entry_answer = c.answer;
    OpenWindow rig(s);
    ClickCoOn(rig.app);
    EXPECT_EQ(LogLines(rig.app.form1.Rtb1), c.log);
    // The controls changed before the answer and stay changed whatever it was.
    EXPECT_TRUE(rig.app.form1.Command10.enabled);
  }
}

TEST(CoRegulation, ClosedPortStillSwapsTheControls) {
  OpenWindow rig;
  CloseLinkPort(rig.app.protocol.MSComm1);
  ClickCoOn(rig.app);
  EXPECT_TRUE(rig.app.form1.Slider1.enabled);
  ClickCoOff(rig.app);
  EXPECT_FALSE(rig.app.form1.Slider1.enabled);
  EXPECT_TRUE(rig.Sent().empty());
  EXPECT_TRUE(LogLines(rig.app.form1.Rtb1).empty());
  EXPECT_TRUE(rig.app.form1.loaded);
}

TEST(CoRegulation, ConfirmedOffLeavesTheWindowAsBackDoes) {
  OpenWindow rig;
  rig.Regulate();
  ClickCoOff(rig.app);
  // 0xFF ends the regulation, the second 0xFF leaves diagnostic mode.
  EXPECT_EQ(rig.Sent(), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1),
            (Lines{"FFFF", "Exit CO Regulation OK", "Exit diagnostic mode OK"}));
  EXPECT_FALSE(rig.app.form1.loaded);
  EXPECT_FALSE(rig.app.form1.visible);
  EXPECT_TRUE(rig.app.form2.visible);
  EXPECT_EQ(rig.app.protocol.Timer1.interval, 20);
  EXPECT_FALSE(rig.line.in_diagnostic_mode());
  // Once gone, the window's actions do nothing: no second exit, no re-entry.
  ClickBack(rig.app);
  ClickCoOff(rig.app);
  EXPECT_EQ(rig.Sent(), (Bytes{0xFF, 0xFF}));
}

// Clicking the option that is already selected is no change: nothing is sent or logged.
TEST(CoRegulation, TheSelectedOptionClickedAgainDoesNothing) {
  for (bool on : {true, false}) {
    OpenWindow rig;
    if (on) rig.Regulate();
    on ? ClickCoOn(rig.app) : ClickCoOff(rig.app);
    EXPECT_TRUE(rig.Sent().empty()) << on;
    EXPECT_TRUE(LogLines(rig.app.form1.Rtb1).empty()) << on;
    EXPECT_TRUE(rig.app.form1.loaded);
    EXPECT_EQ(rig.line.in_co_regulation(), on);
  }
}

TEST(CoRegulation, UnconfirmedOffKeepsTheWindowInTheOffState) {
  EcuScenario s;
  s.co_exit_answer = {0x00};
  OpenWindow rig(s);
  rig.Regulate();
  ClickCoOff(rig.app);
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1), Lines{"FF00"});
  EXPECT_TRUE(rig.app.form1.loaded);
  EXPECT_EQ(EnabledTestButtons(rig.app.form1), kTestButtonCount);
  EXPECT_FALSE(rig.app.form1.Command10.enabled);
}

TEST(Trimmer, SliderAndTextKeepInStep) {
  OpenWindow rig;
  rig.Regulate();
  const Form1& f = rig.app.form1;
  struct Step {
    bool slider;  // move the slider, else type the text
    int position;
    const char* text;
    int want_position;
    const char* want_text;
  } steps[] = {
      {true, 0, "", 0, ""},          // already there: no change notification
      {true, -5, "", -5, "122"},     // slider -> text
      {true, 0, "", 0, "127"},       // centre shows 127
      {false, 0, "200", 73, "200"},  // text -> slider
      {false, 0, "255", 73, "255"},  // beyond 254: slider stays
      {false, 0, "-1", 73, "-1"},     {false, 0, "0", -127, "0"}, {false, 0, "254", 127, "254"},
      {false, 0, "200.5", 74, "201"},  // 73.5 rounds to even; the slider writes back
      {true, 500, "", 127, "254"},     // the slider stops at its end
      {true, -500, "", -127, "0"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.slider ? "slider " + std::to_string(s.position) : std::string("text ") + s.text);
    if (s.slider) {
      MoveSlider(rig.app, s.position);
    } else {
      SetTrimmerText(rig.app, s.text);
    }
    EXPECT_EQ(f.Slider1.value, s.want_position);
    EXPECT_EQ(f.Text2.text, s.want_text);
  }
  EXPECT_TRUE(rig.Sent().empty());
}

TEST(Trimmer, OkSendsTheTypedByte) {
  struct Case {
    bool by_slider;
    int position;
    const char* text;
    uint8_t byte;
    Lines log;
  } cases[] = {
      {true, 0, "", 0x7F, {"7F7F", "trimmer set to:0"}},
      {true, -5, "", 0x7A, {"7A7A", "trimmer set to:-5"}},
      {false, 0, "10", 0x0A, {"0A0A", "trimmer set to:-117"}},
      {false, 0, "254", 0xFE, {"FEFE", "trimmer set to:127"}},
      {false, 0, "0", 0x00, {"0000", "trimmer set to:-127"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log[0]);
    OpenWindow rig;
    rig.Regulate();
    if (c.by_slider) {
      MoveSlider(rig.app, 1);  // away from the centre first, so the move notifies
      MoveSlider(rig.app, c.position);
    } else {
      SetTrimmerText(rig.app, c.text);
    }
    ClickTrimmerOk(rig.app);
    EXPECT_EQ(rig.Sent(), Bytes{c.byte});
    EXPECT_EQ(LogLines(rig.app.form1.Rtb1), c.log);
    EXPECT_EQ(rig.line.ecu_trimmer(), c.byte);
  }
}

TEST(Trimmer, UnconfirmedByteLogsOnlyTheAnswer) {
  EcuScenario s;
  s.trimmer_confirm = false;
  s.answers[0x7F] = {0x00};
  OpenWindow rig(s);
  rig.Regulate();
  SetTrimmerText(rig.app, "127");
  ClickTrimmerOk(rig.app);
  EXPECT_EQ(LogLines(rig.app.form1.Rtb1), Lines{"7F00"});
}

TEST(Trimmer, EmptyTextDoesNothingAtAll) {
  OpenWindow rig;
  rig.Regulate();
  rig.clock().ClearSleeps();
  const int yields = rig.services.do_events;
  const size_t scrolls = rig.app.form1.Rtb1.ScrollCount();
  ClickTrimmerOk(rig.app);
  EXPECT_TRUE(rig.Sent().empty());
  EXPECT_TRUE(LogLines(rig.app.form1.Rtb1).empty());
  EXPECT_TRUE(rig.clock().sleeps().empty());
  EXPECT_EQ(rig.services.do_events, yields);
  EXPECT_EQ(rig.app.form1.Rtb1.ScrollCount(), scrolls);
}

// Typed a character at a time, as the box receives it: a text whose leading
// number the slider already shows is left as typed, and "Ok" must refuse it.
TEST(Trimmer, TextThatIsNotOneByteIsRefused) {
  const std::vector<std::vector<std::string>> typings = {
      {"2", "25", "255"},
      {"2", "25", "256"},
      {"3", "30", "300"},
      {"-", "-1"},
      {"1", "12", "12a", "12ab", "12abc"},
      {"1", "1.", "1.5"},
      {"0", "0x", "0x1"},
  };
  for (const auto& typing : typings) {
    SCOPED_TRACE(typing.back());
    OpenWindow rig;
    rig.Regulate();
    for (const std::string& text : typing) SetTrimmerText(rig.app, text);
    ASSERT_EQ(rig.app.form1.Text2.text, typing.back());
    ClickTrimmerOk(rig.app);
    EXPECT_TRUE(rig.Sent().empty());
    EXPECT_EQ(LogLines(rig.app.form1.Rtb1),
              Lines{"Trimmer not sent: \"" + rig.app.form1.Text2.text +
                    "\" is not a whole number from 0 to 254"});
  }
}

// A text with no number reads as 0: the slider goes to its lower end and the
// box shows what "Ok" would send.
TEST(Trimmer, TextWithoutANumberShowsZero) {
  OpenWindow rig;
  rig.Regulate();
  SetTrimmerText(rig.app, "abc");
  EXPECT_EQ(rig.app.form1.Slider1.value, -127);
  EXPECT_EQ(rig.app.form1.Text2.text, "0");
}

}  // namespace
}  // namespace velarin
