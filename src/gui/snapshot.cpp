#include "gui/snapshot.h"

#include <algorithm>
#include <utility>

#include "frontend/line_text.h"

namespace velarin::gui {
namespace {
constexpr size_t kHeadBytes = 64;
}  // namespace

LogDelta LogFollower::Take(const TraceLog& log, uint64_t instance) {
  const std::string& text = log.Text();
  LogDelta delta;
  delta.scrolls = log.ScrollCount();
  const size_t head_len = std::min(head_.size(), text.size());
  if (instance != instance_ || text.size() < sent_ ||
      std::string_view(text).substr(0, head_len) != std::string_view(head_).substr(0, head_len)) {
    delta.reset = true;
    sent_ = 0;
    instance_ = instance;
  }
  delta.appended = text.substr(sent_);
  sent_ = text.size();
  if (head_.size() < kHeadBytes || delta.reset) head_ = text.substr(0, kHeadBytes);
  return delta;
}

Snapshot SnapshotTaker::Take(const App& app) {
  Snapshot s;
  const Form2& f = app.form2;
  MainView& m = s.main;
  m.caption = f.caption;
  m.visible = f.visible;
  m.Frame1 = f.Frame1;
  m.Label1 = f.Label1;
  m.Text6 = f.Text6;
  m.Check2 = f.Check2;
  m.Shape1 = f.Shape1;
  m.Label4 = f.Label4;
  m.Frame2 = f.Frame2;
  m.Text4 = f.Text4;
  m.Check3 = f.Check3;
  m.Check4 = f.Check4;
  m.Command6 = f.Command6;
  m.Command7 = f.Command7;
  m.Frame3 = f.Frame3;
  m.Option1 = f.Option1;
  m.Option9 = f.Option9;
  m.Option7 = f.Option7;
  m.Option2 = f.Option2;
  m.Check1 = f.Check1;
  m.Text1 = f.Text1;
  m.Label3 = f.Label3;
  m.Label9 = f.Label9;
  m.Label25 = f.Label25;
  m.Label26 = f.Label26;
  for (int i = 0; i < kBarSegments; ++i) m.lit[i] = f.Line1[i].Lit();
  m.Command11 = f.Command11;
  m.Command8 = f.Command8;
  m.test = f.test;
  m.status_bar = f.status_bar;
  m.log = main_log_.Take(f.Rtb1);

  const Form1& t = app.form1;
  TestView& v = s.test;
  v.caption = t.caption;
  v.shown = t.loaded && t.visible;
  v.Command = t.Command;
  v.Command10 = t.Command10;
  v.Text1 = t.Text1;
  v.Text2 = t.Text2;
  v.Pg1 = t.Pg1;
  v.Slider1 = t.Slider1;
  v.Frame1 = t.Frame1;
  v.Option1 = t.Option1;
  v.Option2 = t.Option2;
  v.back = t.back;
  v.log = test_log_.Take(t.Rtb1, t.instance);
  return s;
}

LogDelta MergeLogDeltas(LogDelta earlier, LogDelta later) {
  if (later.reset) return later;
  earlier.appended += later.appended;
  earlier.scrolls = later.scrolls;
  return earlier;
}

bool SnapshotChannel::Publish(Snapshot snapshot) {
  std::lock_guard<std::mutex> lock(mutex_);
  const bool wake = !pending_.has_value();
  if (pending_) {
    snapshot.main.log = MergeLogDeltas(std::move(pending_->main.log), std::move(snapshot.main.log));
    snapshot.test.log = MergeLogDeltas(std::move(pending_->test.log), std::move(snapshot.test.log));
  }
  pending_ = std::move(snapshot);
  return wake;
}

std::optional<Snapshot> SnapshotChannel::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<Snapshot> taken = std::move(pending_);
  pending_.reset();
  return taken;
}

std::string DisplayLines(std::string_view text) {
  std::string shown;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) break;
    if (start > 0) shown += '\n';
    shown += frontend::PrintableLine(text.substr(start, end - start));
    start = end + 2;
  }
  if (start < text.size()) {
    if (start > 0) shown += '\n';
    shown += frontend::PrintableLine(text.substr(start));
  }
  return shown;
}

}  // namespace velarin::gui
