#include "gui/snapshot.h"

#include <algorithm>
#include <iterator>
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

std::bitset<kBarSegments> MainView::lit() const {
  std::bitset<kBarSegments> lit;
  for (int i = 0; i < kBarSegments; ++i) lit[i] = Line1[i].Lit();
  return lit;
}

Snapshot SnapshotTaker::Take(const App& app, uint32_t now_ms) {
  const Form2& f = app.form2;
  const Form1& t = app.form1;
  Snapshot s{MainView{f, main_log_.Take(f.Rtb1)},
             TestView{t, t.loaded && t.visible, test_log_.Take(t.Rtb1, t.instance)},
             now_ms,
             {},
             {}};
  // Reads run one per tick and a snapshot follows every tick: two reads between
  // snapshots are one row, as the readouts show only the later one.
  if (app.protocol.live_frames != frames_seen_) {
    frames_seen_ = app.protocol.live_frames;
    LiveRow& row = s.live_rows.emplace_back();
    row.clock_ms = now_ms;
    for (size_t i = 0; i < row.readouts.size(); ++i) row.readouts[i] = f.Text1[i].text;
  }
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
    std::vector<LiveRow>& rows = pending_->live_rows;
    rows.insert(rows.end(), std::make_move_iterator(snapshot.live_rows.begin()),
                std::make_move_iterator(snapshot.live_rows.end()));
    if (rows.size() > kMaxPendingRows)
      rows.erase(rows.begin(),
                 rows.begin() + static_cast<std::ptrdiff_t>(rows.size() - kMaxPendingRows));
    snapshot.live_rows = std::move(rows);
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
