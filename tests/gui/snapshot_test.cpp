// The hand-over of the forms from the loop's thread to the window's.

#include "gui/snapshot.h"

#include <gtest/gtest.h>

#include <thread>

namespace velarin::gui {
namespace {

TEST(LogFollower, SendsOnlyWhatWasAppended) {
  TraceLog log;
  LogFollower follower;
  LogDelta d = follower.Take(log);
  EXPECT_EQ(d.appended, "");
  log.Append("1200bds");
  log.Append("init = false => call initial ");
  d = follower.Take(log);
  EXPECT_FALSE(d.reset);
  EXPECT_EQ(d.appended, "1200bds\r\ninit = false => call initial \r\n");
  EXPECT_EQ(follower.Take(log).appended, "");
  log.Append("7812");
  log.ScrollToEnd();
  d = follower.Take(log);
  EXPECT_EQ(d.appended, "7812\r\n");
  EXPECT_EQ(d.scrolls, 1u);
}

TEST(LogFollower, StartsOverForANewWindowOrAClearedLog) {
  TraceLog log;
  LogFollower follower;
  log.Append("Enter in diagnostic mode OK");
  log.Append("Fuel pump");
  log.Append("80FF");
  (void)follower.Take(log, 1);
  // The test window loaded again: a new log, even if as long as the old one.
  TraceLog fresh;
  fresh.Append("Enter in diagnostic mode OK");
  fresh.Append("Coil1   ");
  fresh.Append("81FF");
  LogDelta d = follower.Take(fresh, 2);
  EXPECT_TRUE(d.reset);
  EXPECT_EQ(d.appended, fresh.Text());
  EXPECT_FALSE(follower.Take(fresh, 2).reset);

  fresh.Clear();
  fresh.Append("x");
  d = follower.Take(fresh, 2);
  EXPECT_TRUE(d.reset);
  EXPECT_EQ(d.appended, "x\r\n");
}

TEST(MergeLogDeltas, KeepsEveryLineUnlessTheLogStartedOver) {
  const LogDelta a{false, "a\r\n", 1};
  const LogDelta b{false, "b\r\n", 2};
  const LogDelta merged = MergeLogDeltas(a, b);
  EXPECT_FALSE(merged.reset);
  EXPECT_EQ(merged.appended, "a\r\nb\r\n");
  EXPECT_EQ(merged.scrolls, 2u);

  const LogDelta reset_first = MergeLogDeltas(LogDelta{true, "a\r\n", 0}, b);
  EXPECT_TRUE(reset_first.reset);
  EXPECT_EQ(reset_first.appended, "a\r\nb\r\n");

  const LogDelta reset_later = MergeLogDeltas(a, LogDelta{true, "new\r\n", 0});
  EXPECT_TRUE(reset_later.reset);
  EXPECT_EQ(reset_later.appended, "new\r\n");
}

TEST(SnapshotChannel, WakesOncePerBatchAndLosesNoLogText) {
  App app;
  SnapshotTaker taker;
  SnapshotChannel channel;
  app.form2.Rtb1.Append("one");
  EXPECT_TRUE(channel.Publish(taker.Take(app)));
  app.form2.Rtb1.Append("two");
  app.form2.Text1[0].text = "3750";
  EXPECT_FALSE(channel.Publish(taker.Take(app))) << "the window has not taken the first yet";
  auto s = channel.Take();
  ASSERT_TRUE(s);
  EXPECT_EQ(s->main.log.appended, "one\r\ntwo\r\n");
  EXPECT_EQ(s->main.Text1[0].text, "3750") << "the latest state wins";
  EXPECT_FALSE(channel.Take());
  EXPECT_TRUE(channel.Publish(taker.Take(app)));
}

TEST(SnapshotChannel, EveryLiveReadBecomesOneRowAndWaitingRowsMerge) {
  App app;
  SnapshotTaker taker;
  SnapshotChannel channel;
  EXPECT_TRUE(taker.Take(app, 5).live_rows.empty()) << "no read yet";
  for (uint32_t t : {100u, 230u}) {  // two reads while the window is busy
    ++app.protocol.live_frames;
    app.form2.Text1[0].text = std::to_string(t);
    channel.Publish(taker.Take(app, t));
  }
  channel.Publish(taker.Take(app, 240));  // an event without a read
  auto s = channel.Take();
  ASSERT_TRUE(s);
  ASSERT_EQ(s->live_rows.size(), 2u);
  EXPECT_EQ(s->live_rows[0].clock_ms, 100u);
  EXPECT_EQ(s->live_rows[0].readouts[0], "100");
  EXPECT_EQ(s->live_rows[1].readouts[0], "230");
  EXPECT_EQ(s->clock_ms, 240u);

  // A window stalled for minutes keeps the newest rows only.
  for (size_t i = 0; i < kMaxPendingRows + 5; ++i) {
    ++app.protocol.live_frames;
    channel.Publish(taker.Take(app, static_cast<uint32_t>(i)));
  }
  s = channel.Take();
  ASSERT_EQ(s->live_rows.size(), kMaxPendingRows);
  EXPECT_EQ(s->live_rows.front().clock_ms, 5u);
}

TEST(SnapshotChannel, AcrossThreadsEveryLineArrivesOnceInOrder) {
  App app;
  SnapshotTaker taker;
  SnapshotChannel channel;
  constexpr int kLines = 2000;
  std::thread loop([&] {
    for (int i = 0; i < kLines; ++i) {
      app.form2.Rtb1.Append(std::to_string(i));
      channel.Publish(taker.Take(app));
    }
  });
  std::string seen;
  std::string expected;
  for (int i = 0; i < kLines; ++i) expected += std::to_string(i) + "\r\n";
  while (seen.size() < expected.size()) {
    if (auto s = channel.Take()) seen += s->main.log.appended;
    std::this_thread::yield();
  }
  loop.join();
  if (auto s = channel.Take()) seen += s->main.log.appended;
  EXPECT_EQ(seen, expected);
}

TEST(SnapshotTaker, CopiesTheBarAndTheTestWindowState) {
  App app;
  SnapshotTaker taker;
  app.form2.Line1[0].border_color = kColorWindowFrame;
  app.form2.Line1[37].border_color = kColorWindowFrame;
  app.form1.loaded = true;
  app.form1.visible = true;
  app.form1.Pg1.max = 36;
  app.form1.Pg1.value = 4;
  const Snapshot s = taker.Take(app);
  EXPECT_EQ(s.main.lit().count(), 2u);
  EXPECT_TRUE(s.main.lit()[37]);
  EXPECT_TRUE(s.test.shown);
  EXPECT_EQ(s.test.Pg1.value, 4);
  app.form1.visible = false;
  EXPECT_FALSE(taker.Take(app).test.shown);
}

TEST(DisplayLines, OneViewLinePerLogLine) {
  EXPECT_EQ(DisplayLines(""), "");
  EXPECT_EQ(DisplayLines("a\r\n"), "a");
  EXPECT_EQ(DisplayLines("a\r\n\r\nb\r\n"), "a\n\nb");
  EXPECT_EQ(DisplayLines(std::string("ecu data    : V\0X\r\n", 19)), "ecu data    : V\\0X");
  EXPECT_EQ(DisplayLines("tail"), "tail");
  EXPECT_EQ(DisplayLines("lone\nlf\r\n"), "lone\\nlf");
}

}  // namespace
}  // namespace velarin::gui
