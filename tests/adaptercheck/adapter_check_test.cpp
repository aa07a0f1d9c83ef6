// The adapter check against simulated adapters on the virtual clock: each kind
// of adapter gets its verdicts, and an ECU that talks or answers stops it.

#include "adaptercheck/adapter_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "actuators/test_table.h"
#include "adaptercheck/probe_bytes.h"
#include "protocol/kline_codes.h"
#include "sim/simulated_line.h"
#include "sim/virtual_clock.h"

namespace velarin {
namespace {

using On = LatencyMode::LowLatency;

struct Adapter {
  const char* name;
  std::function<void(SimulatedLine&, VirtualClock&)> setup;
  // Verdicts of quiet, echo, delay at 1200, line speed, delay at 7812, low
  // latency, lost/altered: o ok, w warn, f fail; shorter when the check stopped.
  std::string verdicts;
  std::string stop;  // the start of the stop text, empty when it ran through
  EcuFamily family = EcuFamily::Ecu15m;
};

std::string Verdicts(const AdapterCheckResult& r) {
  std::string out;
  for (const CheckItem& item : r.items) {
    out += item.verdict == CheckVerdict::kOk     ? 'o'
           : item.verdict == CheckVerdict::kWarn ? 'w'
                                                 : 'f';
  }
  return out;
}

AdapterCheckOptions Options() {
  AdapterCheckOptions options;
  options.device_path = "/dev/ttyUSB0";
  return options;
}

class AdapterCheck : public ::testing::TestWithParam<Adapter> {};

TEST_P(AdapterCheck, GivesEachItemItsVerdict) {
  VirtualClock clock;
  EcuScenario scenario = DefaultScenario(GetParam().family);
  SimulatedLine line(clock, scenario);
  line.latency_mode = {On::kOn, 1, "ttyUSB0"};
  GetParam().setup(line, clock);
  const AdapterCheckResult r = RunAdapterCheck(line.device(), clock, Options());
  EXPECT_EQ(Verdicts(r), GetParam().verdicts);
  EXPECT_EQ(r.stopped, !GetParam().stop.empty());
  EXPECT_EQ(r.stop_text.substr(0, GetParam().stop.size()), GetParam().stop);
  EXPECT_FALSE(line.device().IsOpen()) << "the check closes what it opened";
  for (uint8_t sent : line.SentByProgram()) {
    EXPECT_NE(std::find(kProbeBytes.begin(), kProbeBytes.end(), sent), kProbeBytes.end());
  }
}

const char kTalking[] = "Stopped: bytes arrived while nothing was sent (55 01 8A 13 27 40)";
const char kAnswering[] = "Stopped: bytes arrived that are not the echo of 0x5A (5A 00)";

INSTANTIATE_TEST_SUITE_P(
    Adapters, AdapterCheck,
    ::testing::Values(
        Adapter{"Good", [](SimulatedLine&, VirtualClock&) {}, "ooooooo", ""},
        Adapter{"PtyLikeDriverThatDoesNotSay",
                [](SimulatedLine& l, VirtualClock&) { l.latency_mode = {}; }, "ooooooo", ""},
        Adapter{"SlowEchoLatencyTimer",
                [](SimulatedLine& l, VirtualClock&) {
                  l.adapter_latency_ms = 16;
                  l.latency_mode = {On::kOff, 16, "ttyUSB0"};
                },
                "oowowwo", ""},
        Adapter{"NoEcho", [](SimulatedLine& l, VirtualClock&) { l.scenario().echo = false; },
                "offofof", ""},
        Adapter{"AltersEveryTenth", [](SimulatedLine& l, VirtualClock&) { l.alter_every = 10; },
                "oooooof", ""},
        Adapter{"LosesEveryTwentyFifth", [](SimulatedLine& l, VirtualClock&) { l.lose_every = 25; },
                "oooooof", ""},
        Adapter{"BridgeRunning9600",
                [](SimulatedLine& l, VirtualClock&) { l.adapter_rates[7812] = 9600; }, "ooofooo",
                ""},
        Adapter{"DriverRefuses7812", [](SimulatedLine& l, VirtualClock&) { l.refuse_baud = true; },
                "oooffoo", ""},
        Adapter{"IgnitionAlreadyOn", [](SimulatedLine& l, VirtualClock&) { l.IgnitionOn(); }, "",
                kTalking},
        Adapter{
            "IgnitionSwitchedOnDuringTheCheck",
            [](SimulatedLine& l, VirtualClock& c) { c.Schedule(1500, [&l] { l.IgnitionOn(); }); },
            "o", "Stopped: bytes arrived that are not the echo of 0x"},
        Adapter{"EcuAnsweringAProbe",
                [](SimulatedLine& l, VirtualClock&) {
                  l.scenario().answers[kProbeBytes[0]] = {0x00};
                  l.IgnitionOn();  // P8: awake at once at 7812
                },
                "oooo", kAnswering, EcuFamily::EcuP8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AdapterCheck, NoProbeByteIsARequestOfAnyFamily) {
  std::vector<uint8_t> requests(std::begin(kline::kWakeAnswer), std::end(kline::kWakeAnswer));
  for (int c = kline::kRpmHigh; c <= kline::kTrimmer; ++c)
    requests.push_back(static_cast<uint8_t>(c));
  for (int c = kline::kIdentFirst; c <= kline::kCalLast; ++c)
    requests.push_back(static_cast<uint8_t>(c));
  requests.insert(requests.end(), {kline::kFault1, kline::kFault2, kline::kDetail,
                                   kline::kThrottle15RcSecond, kline::kEnterDiagnostic,
                                   kline::kLeave, kline::kEnterCo, 0x55 /* the burst's first */});
  for (const ActuatorTest& t : ActuatorTests())
    requests.insert(requests.end(), {t.code_a, t.code_b});
  for (uint8_t probe : kProbeBytes) {
    EXPECT_EQ(std::find(requests.begin(), requests.end(), probe), requests.end()) << int(probe);
  }
}

TEST(AdapterCheck, ReadsAsAPersonWouldReadIt) {
  VirtualClock clock;
  SimulatedLine line(clock, DefaultScenario(EcuFamily::Ecu15m));
  line.adapter_latency_ms = 16;
  line.latency_mode = {On::kOff, 16, "ttyUSB0"};
  const std::vector<std::string> lines =
      AdapterCheckLines(RunAdapterCheck(line.device(), clock, Options()));
  const std::vector<std::string> expected = {
      "Adapter check, with the ignition off. Probe bytes 5A A5 3C C3 69 96: no ECU of the four "
      "families "
      "takes them as a request.",
      "[ ok ] Line quiet: nothing arrived in 500 ms",
      "[ ok ] Adapter echoes: yes, 50 of 50 bytes came back",
      "[warn] Echo delay at 1200 baud: median 25.0 ms, worst 25.0 ms over 50 bytes (a byte takes "
      "8.3 ms on the wire)",
      "       hint: the driver holds received bytes back, so every request waits that much "
      "longer; turn on its low-latency mode (see below).",
      "[ ok ] Line speed read back after setting 7812: 7812 baud",
      "[warn] Echo delay at 7812 baud: median 18.0 ms, worst 18.0 ms over 50 bytes (a byte takes "
      "1.3 ms on the wire)",
      "       hint: the driver holds received bytes back, so every request waits that much "
      "longer; turn on its low-latency mode (see below).",
      "[warn] Driver's low-latency mode: off (latency timer 16 ms)",
      "       hint: turn it on. On Linux the program asks for it at every open; where the driver "
      "does not keep it, as root: echo 1 > /sys/bus/usb-serial/devices/ttyUSB0/latency_timer (or: "
      "setserial /dev/ttyUSB0 low_latency). On Windows: Device Manager, the adapter's port, Port "
      "Settings, Advanced, Latency Timer 1 ms.",
      "[ ok ] Bytes lost or altered: none of 100 bytes",
      "Result: the adapter works, but see the warnings above.",
  };
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace velarin
