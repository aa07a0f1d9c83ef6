// The replay's rules on a small capture, driven byte by byte: the burst at its
// captured time, answers from the cursor or a little ahead of it, the last
// captured answer out of place, silence for what was never captured, deafness
// at a rate the capture did not have, and the echo only where there was one.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "capture/capture_format.h"
#include "platform/serial_device.h"
#include "sim/pty_host.h"
#include "sim/replay_ecu.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"

namespace velarin {
namespace {

using Bytes = std::vector<uint8_t>;

// The wake-up, 0x17, 0x05, 0x06, 0x05 again, forty throttle reads, then 0x11.
std::string SmallCapture(bool echo) {
  auto ask = [echo](const std::string& code, const std::string& answer) {
    return "8000 > " + code + "\n" + "3000 < " + (echo ? code : "") + answer + "\n";
  };
  std::string text = "velarin-capture 1\n0 O 1200 /dev/ttyUSB0\n300000 < 55018A132740\n";
  text += "600000 > 0F\n110000 > AA\n110000 > CC\n110000 B 7812 7812\n";
  if (echo) text += "8000 < 0FAACC\n";
  text += ask("17", "56") + ask("05", "19") + ask("06", "46") + ask("05", "20");
  for (int i = 0; i < 40; ++i) text += ask("09", "0E");
  text += ask("11", "42") + "0 C\n0 E\n";
  return text;
}

std::shared_ptr<Replay> Load(const std::string& text) {
  CaptureParse parse = ParseCapture(text);
  EXPECT_TRUE(parse.capture) << parse.error;
  return std::make_shared<Replay>(parse.capture.value_or(Capture{}));
}

struct Step {
  uint8_t send;
  int32_t rate;
  Bytes expect;      // what comes back, echo included
  std::string note;  // what the replay says about it, if anything
};

TEST(Replay, AnswersAsTheCapturedEcuDidAtThatPoint) {
  auto replay = Load(SmallCapture(true));
  VirtualClock clock;
  SimulatedLine line(clock, replay->Factory());
  SerialDevice& dev = line.device();
  ASSERT_TRUE(dev.Open("/dev/ttyUSB0"));
  line.IgnitionOn();
  clock.Advance(299);
  EXPECT_EQ(dev.BytesWaiting(), 5) << "the burst ends at its captured time";
  clock.Advance(2);
  EXPECT_EQ(dev.ReadAll(), (Bytes{0x55, 0x01, 0x8A, 0x13, 0x27, 0x40}));

  const std::vector<Step> steps = {
      {0x17,
       1200,
       {0x17},
       "replay: 0x17 sent at 1200 baud, the capture had 7812 in force; not heard"},
      {0x0F, 1200, {0x0F}, ""},
      {0xAA, 1200, {0xAA}, ""},
      {0xCC, 1200, {0xCC}, ""},
      {0x17, 7812, {0x17, 0x56}, ""},
      {0x06, 7812, {0x06, 0x46}, ""},  // 0x05 skipped, as a program skips a channel
      {0x05, 7812, {0x05, 0x20}, ""},
      {0x11,
       7812,
       {0x11, 0x42},
       "replay: 0x11 not captured at this point; answered as captured later"},
      {0x17,
       7812,
       {0x17, 0x56},
       "replay: 0x17 not captured at this point; answered as last captured"},
      {0x3A, 7812, {0x3A}, "replay: 0x3A never captured; no answer"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.send);
    if (dev.ReadBaud() != step.rate) {
      ASSERT_TRUE(dev.WriteBaud(step.rate));
    }
    ASSERT_TRUE(dev.WriteByte(step.send));
    clock.Advance(step.rate == 1200 ? 40 : 20);
    EXPECT_EQ(dev.ReadAll(), step.expect);
    const std::vector<std::string> notes = replay->TakeNotes();
    EXPECT_EQ(notes,
              step.note.empty() ? std::vector<std::string>{} : std::vector<std::string>{step.note});
  }
}

TEST(Replay, TheAnswerComesAtItsCapturedDelay) {
  auto replay = Load(SmallCapture(true));
  VirtualClock clock;
  SimulatedLine line(clock, replay->Factory());
  SerialDevice& dev = line.device();
  ASSERT_TRUE(dev.Open("/dev/ttyUSB0"));
  line.IgnitionOn();
  clock.Advance(400);
  for (uint8_t b : {0x0F, 0xAA, 0xCC}) ASSERT_TRUE(dev.WriteByte(b));
  clock.Advance(100);
  ASSERT_TRUE(dev.WriteBaud(7812));
  (void)dev.ReadAll();
  ASSERT_TRUE(dev.WriteByte(0x17));
  clock.Advance(2);
  EXPECT_EQ(dev.ReadAll(), Bytes{0x17});
  clock.Advance(1);
  EXPECT_EQ(dev.ReadAll(), Bytes{0x56}) << "captured 3 ms after the request";
}

TEST(Replay, AnAdapterWithoutEchoIsReplayedWithoutEcho) {
  auto replay = Load(SmallCapture(false));
  ASSERT_EQ(replay->segments().size(), 1u);
  EXPECT_FALSE(replay->segments()[0].echo);
  VirtualClock clock;
  SimulatedLine line(clock, replay->Factory());
  SerialDevice& dev = line.device();
  ASSERT_TRUE(dev.Open("/dev/ttyUSB0"));
  line.IgnitionOn();
  clock.Advance(400);
  for (uint8_t b : {0x0F, 0xAA, 0xCC}) ASSERT_TRUE(dev.WriteByte(b));
  clock.Advance(100);
  ASSERT_TRUE(dev.WriteBaud(7812));
  EXPECT_EQ(dev.ReadAll(), (Bytes{0x55, 0x01, 0x8A, 0x13, 0x27, 0x40}));
  ASSERT_TRUE(dev.WriteByte(0x17));
  clock.Advance(20);
  EXPECT_EQ(dev.ReadAll(), Bytes{0x56});
}

#ifndef _WIN32
TEST(Replay, PlaysOverAPseudoTerminalThroughTheRealBackEnd) {
  auto replay = Load(SmallCapture(true));
  PtyHost host(replay->Factory());
  ASSERT_TRUE(host.Start()) << host.error();
  std::unique_ptr<SerialDevice> dev = MakePlatformSerialDevice();
  ASSERT_TRUE(dev->Open(host.slave_path())) << dev->LastError();
  host.IgnitionOn();
  Bytes got;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (got.size() < 6 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    for (uint8_t b : dev->ReadAll()) got.push_back(b);
  }
  EXPECT_EQ(got, (Bytes{0x55, 0x01, 0x8A, 0x13, 0x27, 0x40}));
}
#endif

}  // namespace
}  // namespace velarin
