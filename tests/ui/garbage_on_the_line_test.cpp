// A connection left running while the line carries garbage: random answers of
// random length to every request and stray bursts between them. Whatever
// arrives, the program keeps polling, shows bounded text and only ever sends the
// request codes of its own procedures.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "forms/app.h"
#include "protocol/kline_codes.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"
#include "ui/event_loop.h"
#include "ui/main_window.h"
#include "ui/navigation.h"

namespace velarin {
namespace {

// Every byte the main window's own procedures send.
std::set<uint8_t> RequestCodes() {
  std::set<uint8_t> codes(std::begin(kline::kWakeAnswer), std::end(kline::kWakeAnswer));
  for (int c = kline::kIdentFirst; c <= kline::kCalLast; ++c) codes.insert(static_cast<uint8_t>(c));
  for (int c = kline::kRpmHigh; c <= kline::kTrimmer; ++c) codes.insert(static_cast<uint8_t>(c));
  codes.insert({kline::kThrottle15RcSecond, kline::kFault1, kline::kFault2, kline::kDetail});
  return codes;
}

class GarbageOnTheLine : public ::testing::TestWithParam<EcuFamily> {};

TEST_P(GarbageOnTheLine, PollingGoesOnAndNoUnaskedByteIsSent) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 6);
  auto garbage = [&] {
    std::vector<uint8_t> bytes(static_cast<size_t>(length(random)));
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(byte(random));
    return bytes;
  };

  EcuScenario scenario = DefaultScenario(GetParam());
  scenario.burst = {0x55, 0x12, 0x55, 0xFF, 0x00, 0x05, 0x5A, 0x99};
  for (int code = 0; code < 256; ++code) scenario.answers[static_cast<uint8_t>(code)] = garbage();
  VirtualClock clock;
  App app;
  EventLoop loop(app, clock);
  WireMainLoop(loop, app);
  SimulatedLine line(clock, scenario);
  app.protocol.MSComm1.device = &line.device();
  LoadMainWindow(app);
  ClickFamily(app, GetParam());
  line.IgnitionOn();
  loop.Post([&] { ClickConnectSwitch(app); });

  for (int second = 0; second < 20; ++second) {
    line.InjectFromEcu(garbage());
    if (second % 5 == 4) loop.Post([&] { ClickDtc(app); });
    loop.RunFor(1000);
  }

  const ProtocolState& p = app.protocol;
  EXPECT_TRUE(p.cal_ask) << "the connection reaches live data whatever the answers";
  EXPECT_GT(p.live_frames, 20u);
  EXPECT_TRUE(p.Timer1.enabled);
  for (const TextBox& readout : app.form2.Text1)
    EXPECT_LT(readout.text.size(), 32u) << readout.text;
  const std::set<uint8_t> allowed = RequestCodes();
  for (uint8_t sent : line.SentByProgram()) {
    EXPECT_TRUE(allowed.count(sent)) << "sent 0x" << std::hex << int(sent);
  }
}

INSTANTIATE_TEST_SUITE_P(Families, GarbageOnTheLine,
                         ::testing::Values(EcuFamily::Ecu15m, EcuFamily::Ecu15Rc, EcuFamily::Ecu16m,
                                           EcuFamily::EcuP8));

}  // namespace
}  // namespace velarin
