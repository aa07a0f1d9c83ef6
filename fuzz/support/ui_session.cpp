#include "support/ui_session.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "link/exchange.h"
#include "livedata/panel.h"
#include "support/fuzz_check.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"
#include "ui/navigation.h"
#include "ui/test_window.h"

namespace velarin::fuzz {
namespace {

constexpr size_t kMaxSteps = 32;
// How long the loop runs after a step, mostly short; a few steps of the longest outlast
// a 36 s test wait.
constexpr uint32_t kRunMs[16] = {0,    5,    20,   50,   100,  200,  400,  700,
                                 1000, 1500, 2000, 2500, 3000, 4000, 6000, 12000};
// Most runs poll a light frame (rpm, throttle, trimmer): the frame itself has a fuzzer of
// its own, and a light one leaves time for more actions.
constexpr int kLightFrame[] = {0, 6, 8};
constexpr uint32_t kPostStepMs = 37;
constexpr size_t kTracedWireBytes = 512;
constexpr uint32_t kIgnitionStepMs = 8;
// Clicks queued before the program's end run first; each blocks for seconds at most.
constexpr uint32_t kEndLimitMs = 60 * 60 * 1000;
constexpr uint32_t kLatencies[] = {0, 5, 40, 1999, 2001, 3001, 5001, 40000};

constexpr const char* kComTexts[] = {"1", "0", "2", "", "abc", "1.5", "3\r", "-1", "40000"};
constexpr const char* kCustomTexts[] = {"00",  "80", "1f", "FF",  "AA",   "8d",
                                        "100", "-1", "zz", " 7 ", "0x80", ""};
constexpr const char* kTrimmerTexts[] = {"127", "0",    "254",  "255", "-1",  "abc",
                                         "",    "12.5", " 200", "256", "1e2", "0254"};
// The test codes of both groups, for verdicts.
constexpr uint8_t kTestCodes[] = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x89};
const std::array<const char*, 4> kFamilyNames = {"15m", "15Rc", "16m", "P8"};

// The loop of the program, telling the port watch that a yield ends any wait.
class WatchedLoop : public EventLoop {
 public:
  WatchedLoop(App& app, Clock& clock, WatchedDevice& device)
      : EventLoop(app, clock), device_(device) {}
  void DoEvents() override {
    device_.EndWait();
    EventLoop::DoEvents();
    device_.EndWait();
  }

 private:
  WatchedDevice& device_;
};

std::string Hex(const std::vector<uint8_t>& bytes) { return HexText(bytes); }

}  // namespace

UiSession::UiSession(FuzzedDataProvider& in) : in_(in), checker_(app_) {
  const auto family = static_cast<EcuFamily>(in_.ConsumeIntegralInRange(0, 3));
  const uint8_t config = in_.ConsumeIntegral<uint8_t>();
  EcuScenario scenario = DefaultScenario(family);
  static constexpr uint32_t kAnswerLatencies[] = {1, 0, 2, 4};
  scenario.answer_latency_ms = kAnswerLatencies[config & 0x03];
  scenario.echo = (config & 0x0C) != 0x0C;
  static const std::vector<uint8_t> kEntryAnswers[] = {{0xFF}, {0xAA}, {0xFF, 0x00}, {}};
  scenario.diag_entry_answer = kEntryAnswers[(config >> 4) & 0x03];
  scenario.trimmer_confirm = (config & 0x40) == 0;
  scenario.model_seed = config & 0x7F;

  line_ = std::make_unique<SimulatedLine>(clock_, std::move(scenario));
  // The checker watches the port itself; the rig's records only feed the trace.
  clock_.RecordSleeps(false);
  line_->KeepRecords(kTracedWireBytes);
  device_ = std::make_unique<WatchedDevice>(line_->device(), clock_);
  device_->on_write = [this](uint8_t b) { checker_.OnWrite(b); };
  device_->on_wait = [this](const WaitSpan& w) { checker_.OnWait(w); };
  loop_ = std::make_unique<WatchedLoop>(app_, clock_, *device_);
  loop_->SetTick([this] {
    device_->EndWait();
    checker_.Begin(Actor::kTick, 0, "tick");
    MainTick(app_);
    device_->EndWait();
    checker_.End();
  });
  app_.protocol.MSComm1.device = device_.get();

  checker_.Begin(Actor::kFamily, static_cast<int>(family), "load");
  LoadMainWindow(app_);
  ClickFamily(app_, family);
  checker_.End();
  checker_.Note(std::string("family ") + kFamilyNames[static_cast<size_t>(family)] + ", config " +
                Hex({config}));
  // Mostly the user connects first and switches the ignition on some time after.
  if ((config & 0x80) == 0) {
    Click(0, Actor::kConnectSwitch, 0, "Connect", false, [this] { ClickConnectSwitch(app_); });
  }
  const uint32_t ignition_ms = in_.ConsumeIntegral<uint8_t>() * kIgnitionStepMs;
  if (in_.ConsumeIntegral<uint8_t>() < 160) {
    checker_.Begin(Actor::kChannel, 0, "light frame");
    std::vector<bool> wanted(kChannelCount, false);
    for (int channel : kLightFrame) wanted[static_cast<size_t>(channel)] = true;
    SetChannels(app_, wanted);
    checker_.End();
  }
  clock_.Schedule(ignition_ms, [this] {
    checker_.Note("ignition on");
    line_->IgnitionOn();
  });
}

UiSession::~UiSession() = default;

void UiSession::Click(uint32_t delay_ms, Actor actor, int param, std::string name, bool test_window,
                      std::function<void()> act) {
  clock_.Schedule(delay_ms,
                  [this, actor, param, name = std::move(name), test_window, act = std::move(act)] {
                    if (closed_) return;
                    const bool showing = test_window ? app_.form1.loaded && app_.form1.visible
                                                     : app_.form2.loaded && app_.form2.visible;
                    if (!showing) return;  // a hidden window takes no clicks
                    loop_->Post([this, actor, param, name, act] {
                      if (closed_) return;  // the program has ended: its loop runs nothing more
                      device_->EndWait();
                      checker_.Begin(actor, param, name);
                      act();
                      device_->EndWait();
                      checker_.End();
                    });
                  });
}

void UiSession::ScheduleAction(uint32_t delay) {
  const uint8_t kind = in_.ConsumeIntegral<uint8_t>() % 20;
  App& app = app_;
  switch (kind) {
    case 0:
      Click(delay, Actor::kConnectSwitch, 0, "Connect/Disconnect", false,
            [&app] { ClickConnectSwitch(app); });
      break;
    case 1: {
      const std::string text = in_.PickValueInArray(kComTexts);
      Click(delay, Actor::kComText, 0, "Com \"" + Printable(text) + "\"", false,
            [&app, text] { SetComText(app, text); });
      break;
    }
    case 2: {
      const int family = in_.ConsumeIntegralInRange(0, 3);
      Click(delay, Actor::kFamily, family, std::string("family ") + kFamilyNames[family], false,
            [&app, family] { ClickFamily(app, static_cast<EcuFamily>(family)); });
      break;
    }
    case 3: {
      const int channel = in_.ConsumeIntegralInRange(0, 8);
      Click(delay, Actor::kChannel, channel, "channel " + std::to_string(channel), false,
            [&app, channel] { ClickChannel(app, channel); });
      break;
    }
    case 4:
      Click(delay, Actor::kCheck3, 0, "Ecu data", false, [&app] { ClickCheck3(app); });
      break;
    case 5:
      Click(delay, Actor::kCheck4, 0, "Calibration", false, [&app] { ClickCheck4(app); });
      break;
    case 6:
      Click(delay, Actor::kEcuInfo, 0, "ecu info", false, [&app] { ClickEcuInfoButton(app); });
      break;
    case 7:
      Click(delay, Actor::kCalibration, 0, "calibration", false,
            [&app] { ClickCalibrationButton(app); });
      break;
    case 8:
      Click(delay, Actor::kDtc, 0, "DTC", false, [&app] { ClickDtc(app); });
      break;
    case 9:
      Click(delay, Actor::kTestsMenu, 0, "Tests", false, [&app] { ClickTestsMenu(app); });
      break;
    case 10: {
      const int k = in_.ConsumeIntegralInRange(1, 9);
      Click(delay, Actor::kTest, k, "test button " + std::to_string(k), true,
            [&app, k] { ClickTest(app, k); });
      break;
    }
    case 11: {
      const std::string text =
          in_.ConsumeBool() ? in_.PickValueInArray(kCustomTexts) : in_.ConsumeRandomLengthString(4);
      Click(delay, Actor::kCustomCode, 0, "custom code \"" + Printable(text) + "\"", true,
            [&app, text] { SetCustomCode(app, text); });
      break;
    }
    case 12:
      Click(delay, Actor::kCoOn, 0, "On", true, [&app] { ClickCoOn(app); });
      break;
    case 13:
      Click(delay, Actor::kCoOff, 0, "Off", true, [&app] { ClickCoOff(app); });
      break;
    case 14: {
      const int position = in_.ConsumeIntegralInRange(-130, 130);
      Click(delay, Actor::kSlider, position, "slider " + std::to_string(position), true,
            [&app, position] { MoveSlider(app, position); });
      break;
    }
    case 15: {
      const std::string text = in_.ConsumeBool() ? in_.PickValueInArray(kTrimmerTexts)
                                                 : in_.ConsumeRandomLengthString(4);
      Click(delay, Actor::kTrimmerText, 0, "trimmer text \"" + Printable(text) + "\"", true,
            [&app, text] { SetTrimmerText(app, text); });
      break;
    }
    case 16:
      Click(delay, Actor::kTrimmerOk, 0, "Ok", true, [&app] { ClickTrimmerOk(app); });
      break;
    case 17:
      Click(delay, Actor::kBack, 0, "Back", true, [&app] { ClickBack(app); });
      break;
    case 18:
      Click(delay, Actor::kCloseTest, 0, "close test window", true,
            [&app] { CloseTestWindow(app); });
      break;
    default:
      // Closing the main window ends the program: rarely, so runs get somewhere first.
      if (in_.ConsumeIntegral<uint8_t>() < 240) break;
      Click(delay, Actor::kCloseMain, 0, "close main window", false, [this] {
        UnloadMainWindow(app_);
        closed_ = true;
      });
      break;
  }
}

void UiSession::ScheduleFault(uint32_t delay) {
  const uint8_t kind = in_.ConsumeIntegral<uint8_t>() % 10;
  const uint8_t code = in_.ConsumeIntegral<uint8_t>();
  const std::vector<uint8_t> bytes = in_.ConsumeBytes<uint8_t>(in_.ConsumeIntegralInRange(0, 4));
  clock_.Schedule(delay, [this, kind, code, bytes] {
    EcuScenario& s = line_->scenario();
    switch (kind) {
      case 0:
        checker_.Note("ignition off");
        line_->IgnitionOff();
        break;
      case 1:
        checker_.Note("ignition on");
        line_->IgnitionOn();
        break;
      case 2:
        checker_.Note("cable pulled");
        line_->Vanish();
        break;
      case 3:
        checker_.Note("cable back");
        line_->Restore();
        break;
      case 4:
        checker_.Note("garbage " + Hex(bytes));
        line_->InjectFromEcu(bytes);
        break;
      case 5:
        s.echo = !s.echo;
        checker_.Note(s.echo ? "echo on" : "echo off");
        break;
      case 6:
        s.latency_for[code] = kLatencies[bytes.size() % 8];
        checker_.Note("answer to " + Hex({code}) + " after " + std::to_string(s.latency_for[code]) +
                      " ms");
        break;
      case 7:
        if (bytes.empty() && (code & 1) != 0) {
          s.answers.erase(code);
          checker_.Note("answer to " + Hex({code}) + " as usual");
        } else {
          s.answers[code] = bytes;
          checker_.Note("answer to " + Hex({code}) + ": " + Hex(bytes));
        }
        break;
      case 8: {
        TestVerdict v;
        v.first = bytes.empty() ? std::vector<uint8_t>{} : std::vector<uint8_t>{bytes[0]};
        v.later_after_ms = (code & 0x3F) * 700u;
        if (bytes.size() > 1) v.later.assign(bytes.begin() + 1, bytes.end());
        const uint8_t test = code < 0xF0 ? kTestCodes[code % 9] : code;
        s.verdicts[test] = v;
        checker_.Note("verdict of " + Hex({test}) + ": " + Hex(v.first) + " then " + Hex(v.later) +
                      " after " + std::to_string(v.later_after_ms) + " ms");
        break;
      }
      default:
        if (bytes.empty()) {
          s.stray_before_echo.erase(code);
        } else {
          s.stray_before_echo[code] = bytes;
        }
        checker_.Note("stray " + Hex(bytes) + " before the echo of " + Hex({code}));
        break;
    }
  });
}

void UiSession::Settle(uint32_t ms) {
  loop_->RunFor(ms);
  checker_.AfterStep();
}

void UiSession::Step() {
  const uint8_t timing = in_.ConsumeIntegral<uint8_t>();
  const uint32_t delay = (timing & 0x0F) * kPostStepMs;
  if (in_.ConsumeIntegral<uint8_t>() < 208) {
    ScheduleAction(delay);
  } else {
    ScheduleFault(delay);
  }
  Settle(kRunMs[timing >> 4]);
}

void UiSession::Run() {
  Settle(0);
  for (size_t step = 0; step < kMaxSteps && in_.remaining_bytes() > 0 && !closed_; ++step) Step();
  // The program ends: whatever runs is allowed to finish, then the main window closes.
  if (!closed_) {
    loop_->Post([this] {
      checker_.Begin(Actor::kCloseMain, 0, "program end");
      UnloadMainWindow(app_);
      device_->EndWait();
      checker_.End();
      closed_ = true;
    });
  }
  loop_->RunUntil([this] { return closed_; }, kEndLimitMs);
  checker_.AfterStep();
  // To read what a crash file does: VELARIN_FUZZ_TRACE=1 fuzz_ui_actions FILE (the bytes
  // sent are the last few hundred on the wire)
  if (std::getenv("VELARIN_FUZZ_TRACE") != nullptr) {
    std::fprintf(stderr, "%s\n-- main log:\n%s-- test log:\n%s-- sent: %s\n",
                 checker_.TrailText().c_str(), app_.form2.Rtb1.Text().c_str(),
                 app_.form1.Rtb1.Text().c_str(), Hex(line_->SentByProgram()).c_str());
  }
  const ProtocolState& p = app_.protocol;
  FUZZ_CHECK(closed_, "the program did not end within an hour of being closed");
  FUZZ_CHECK(!p.MSComm1.PortOpen(), "the port is still open after the program ended");
  FUZZ_CHECK(!p.Timer1.enabled, "the polling still runs after the program ended");
  FUZZ_CHECK(!app_.form1.loaded, "the test window is still loaded after the program ended");
}

}  // namespace velarin::fuzz
