#include "frontend/cli_session.h"

#include <algorithm>
#include <string>
#include <vector>

#include "connection/connect_switch.h"
#include "connection/link_status.h"
#include "forms/captions.h"
#include "frontend/actions.h"
#include "frontend/csv.h"
#include "frontend/simulation.h"
#include "frontend/texts.h"
#include "livedata/panel.h"
#include "ui/main_window.h"
#include "ui/navigation.h"
#include "ui/test_window.h"

namespace velarin::frontend {
namespace {
constexpr uint32_t kSliceMs = 1000;  // longest stretch of loop between looks at the goal
}  // namespace

CliSession::CliSession(App& app, EventLoop& loop, ObservedClock& clock, const Options& options,
                       CliOutput out, Simulation* simulation)
    : app_(app),
      loop_(loop),
      clock_(clock),
      options_(options),
      out_(out),
      simulation_(simulation) {}

void CliSession::RequestStop() {
  stop_.store(true);
  loop_.Quit();
}

void CliSession::PrintLine(std::string_view prefix, std::string_view text) {
  if (out_.lines == nullptr) return;
  *out_.lines << prefix << PrintableLine(text) << '\n';
  out_.lines->flush();
}

void CliSession::Flush() {
  for (const std::string& line : main_log_.NewLines(app_.form2.Rtb1.Text()))
    PrintLine(texts::kLogPrefix, line);
  for (const std::string& line : info_box_.NewLines(app_.form2.Text4.text))
    PrintLine(texts::kInfoPrefix, line);
  for (const std::string& line : test_log_.NewLines(app_.form1.Rtb1.Text()))
    PrintLine(texts::kTestLogPrefix, line);
  if (notices_) {
    for (const std::string& line : notices_()) PrintLine("", line);
  }
}

void CliSession::FlushRest() {
  Flush();
  for (const std::string& line : main_log_.Rest(app_.form2.Rtb1.Text()))
    PrintLine(texts::kLogPrefix, line);
  for (const std::string& line : info_box_.Rest(app_.form2.Text4.text))
    PrintLine(texts::kInfoPrefix, line);
  for (const std::string& line : test_log_.Rest(app_.form1.Rtb1.Text()))
    PrintLine(texts::kTestLogPrefix, line);
}

void CliSession::PrintLive() {
  const auto& readouts = app_.form2.Text1;
  std::string line;
  for (size_t i = 0; i < readouts.size(); ++i) {
    if (i > 0) line += '\t';
    line += readouts[i].text;
  }
  PrintLine(texts::kLivePrefix, line);
  if (out_.csv != nullptr) {
    std::array<std::string, kReadoutCount> texts;
    for (size_t i = 0; i < readouts.size(); ++i) texts[i] = readouts[i].text;
    *out_.csv << RecordingRow(std::max<int32_t>(0, Elapsed(connected_at_, clock_.NowMs())), texts);
    out_.csv->flush();  // a pulled cable must not cost a row already read
  }
}

void CliSession::AfterTick() {
  Flush();
  const uint64_t frames = app_.protocol.live_frames;
  if (frames == frames_seen_) return;
  live_reads_ += frames - frames_seen_;
  frames_seen_ = frames;
  PrintLive();
}

void CliSession::OnPause() {
  Flush();
  // A wait of the test window (up to 36 s) yields once a second: a stop gets in there.
  if (Stopping() && app_.form1.loaded && !close_posted_) {
    close_posted_ = true;
    loop_.Post([this] {
      if (app_.form1.loaded) CloseTestWindow(app_);
    });
  }
}

bool CliSession::LinkLost() const {
  if (app_.protocol.link_losses != losses_at_start_) return true;
  const SerialDevice* device = app_.protocol.MSComm1.device;
  return device != nullptr && device->Vanished();
}

int CliSession::ReportLost() {
  // Seen before a polling tick did (inside the test window): end it as the tick would.
  if (app_.protocol.link_losses == losses_at_start_ &&
      !EndIfLinkLost(app_.form2, app_.protocol, clock_)) {
    app_.form2.status_bar = std::string(texts::kDeviceGone) + PortPathInUse(app_.protocol.MSComm1);
  }
  FlushRest();
  if (out_.errors != nullptr)
    *out_.errors << texts::kCliName << ": " << app_.form2.status_bar << std::endl;
  return kExitDevice;
}

bool CliSession::TimeUp() const {
  if (!options_.seconds_ms) return false;
  const int32_t spent = Elapsed(started_at_, clock_.NowMs());
  return spent >= 0 && static_cast<uint32_t>(spent) >= *options_.seconds_ms;
}

bool CliSession::FramesDone() const { return !options_.frames || live_reads_ >= *options_.frames; }

bool CliSession::NeedsAttention() const {
  if (stop_.load() || TimeUp() || LinkLost()) return true;
  if (!ActionsDone() && live_reads_ >= 1) return true;
  return HasGoal() && ActionsDone() && FramesDone();
}

void CliSession::PressSwitch() { PressConnectSwitch(app_, simulation_); }

void CliSession::RunNextAction() {
  const CliAction& action = options_.actions[next_action_++];
  for (const ActionStep& step : StepsFor(action)) {
    if (Stopping() || LinkLost()) break;
    step(app_);
    Flush();
  }
}

void CliSession::Finish() {
  if (app_.form1.loaded) CloseTestWindow(app_);
  if (app_.form2.Check2.value) PressSwitch();
  FlushRest();
}

int CliSession::Run() {
  started_at_ = clock_.NowMs();
  losses_at_start_ = app_.protocol.link_losses;
  frames_seen_ = app_.protocol.live_frames;
  clock_.SetHook([this] { OnPause(); });
  loop_.SetTick([this] {
    MainTick(app_);
    AfterTick();
  });
  loop_.SetPublish([this] { Flush(); });
  loop_.SetMessageBox([this](const std::string& text) { PrintLine(texts::kMessagePrefix, text); });

  Flush();
  PressSwitch();
  connected_at_ = clock_.NowMs();
  Flush();
  if (!app_.protocol.MSComm1.PortOpen()) {
    FlushRest();
    if (out_.errors != nullptr)
      *out_.errors << texts::kCliName << ": " << app_.form2.status_bar << std::endl;
    return kExitDevice;
  }
  if (options_.channels) {
    SetChannels(app_, std::vector<bool>(options_.channels->begin(), options_.channels->end()));
    Flush();
  }

  for (;;) {
    if (LinkLost()) return ReportLost();
    if (stop_.load() || TimeUp()) break;
    if (!ActionsDone() && live_reads_ >= 1) {
      RunNextAction();
      continue;
    }
    if (HasGoal() && ActionsDone() && FramesDone()) break;
    uint32_t slice = kSliceMs;
    if (options_.seconds_ms) {
      const int32_t spent = std::max<int32_t>(0, Elapsed(started_at_, clock_.NowMs()));
      slice = std::min<uint32_t>(slice, *options_.seconds_ms - static_cast<uint32_t>(spent));
    }
    loop_.RunUntil([this] { return NeedsAttention(); }, slice);
  }
  Finish();
  if (LinkLost()) return ReportLost();
  return kExitOk;
}

}  // namespace velarin::frontend
