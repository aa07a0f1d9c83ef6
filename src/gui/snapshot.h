#pragma once
// What the window shows, copied from the forms on the loop's thread after each
// event and tick, and handed to the GUI thread. The logs travel as the text
// appended since the previous snapshot, never whole.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "forms/app.h"
#include "gui/tools/tools_view.h"

namespace velarin::gui {

struct LogDelta {
  bool reset = false;    // the log started over: drop what the view shows first
  std::string appended;  // text added since the previous snapshot, "\r\n" included
  size_t scrolls = 0;    // the log's ScrollCount: the view scrolls to the end when it grows
};

// A window as the view draws it: its controls as they stood (copied whole, so a
// new control needs no line here) and what its log gained since the last snapshot.
struct MainView : Form2Controls {
  LogDelta log;

  // The Line1 segments drawn in the lit colour.
  std::bitset<kBarSegments> lit() const;
};

struct TestView : Form1Controls {
  bool shown = false;  // loaded and visible
  LogDelta log;
};

// One live-data read as the readouts showed it right after it, for the recording
// and the chart.
struct LiveRow {
  uint32_t clock_ms = 0;  // the loop's clock
  std::array<std::string, kReadoutCount> readouts;
};

struct Snapshot {
  MainView main;
  TestView test;
  uint32_t clock_ms = 0;  // the loop's clock when it was taken
  // The reads since the previous snapshot, oldest first. Snapshots that wait for
  // the window merge these, so no read is lost while the window is busy (up to
  // kMaxPendingRows: a window stalled for minutes loses the oldest).
  std::vector<LiveRow> live_rows;
  ToolsView tools;
};

inline constexpr size_t kMaxPendingRows = 20'000;

// Follows one log from snapshot to snapshot (loop thread only).
class LogFollower {
 public:
  // `instance` changes when the window owning the log was loaded anew.
  LogDelta Take(const TraceLog& log, uint64_t instance = 0);

 private:
  size_t sent_ = 0;
  uint64_t instance_ = 0;
  std::string head_;  // the log's first bytes as last sent, to notice a log replaced
};

// Takes snapshots of an App (loop thread only).
class SnapshotTaker {
 public:
  // `now_ms`: the loop's clock. A live-data read since the last call adds a row.
  Snapshot Take(const App& app, uint32_t now_ms = 0);

 private:
  uint64_t frames_seen_ = 0;
  LogFollower main_log_;
  LogFollower test_log_;
};

// Joins two deltas of the same log: `later` follows `earlier`.
LogDelta MergeLogDeltas(LogDelta earlier, LogDelta later);

// The hand-over between the threads: the loop publishes, the GUI takes. Snapshots
// published before the GUI took the previous one merge, so no log text is lost
// and the GUI is woken once per batch.
class SnapshotChannel {
 public:
  // True when the GUI must be woken: nothing was waiting before.
  bool Publish(Snapshot snapshot);
  std::optional<Snapshot> Take();

 private:
  std::mutex mutex_;
  std::optional<Snapshot> pending_;
};

// A log delta as the view shows it, in UTF-8: lines joined by "\n" (no final one),
// each byte its code-page character, NUL and other control characters made
// visible (frontend::PrintableLine). Empty when nothing complete was appended.
std::string DisplayLines(std::string_view text);

}  // namespace velarin::gui
