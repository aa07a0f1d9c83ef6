// The "DTC" read with the ECU's three answers chosen by the fuzzer and carried
// through the simulated line on the virtual clock. Whatever comes back, only
// 0x0F, 0x10, 0x11 go out in that order (cut short only by a time-out), no
// wait outlasts its 2000 ms, the log gets either nothing or the thirteen report
// lines, and when every answer sits cleanly behind its echo the report decodes
// exactly those bytes: a line shows its fault when its bit is set, the short
// circuit text when the detail bit is set as well, and its OK text otherwise.
//
// Input: fault flags, then per request the answer (length, bytes) and latency.

#include "diagnostics/fault_report.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "actuators/awake_link.h"
#include "diagnostics/read_fault_status.h"
#include "link/exchange.h"
#include "support/fuzz_check.h"
#include "support/watched_device.h"

namespace {

using velarin::FaultLine;
using velarin::fuzz::Printable;

constexpr uint32_t kWaitSlackMs = 50;
constexpr uint32_t kLatencies[] = {1, 2, 3, 40, 1999, 2000, 2001, 2600};

// The report line the bytes call for, from the line's bits alone.
std::string_view Expected(const FaultLine& line, uint8_t fault1, uint8_t fault2, uint8_t detail) {
  const uint8_t value = line.source == FaultLine::Source::kFault1 ? fault1 : fault2;
  if ((value & line.bit) == 0) return line.ok_text;
  if (line.detail_bit != 0 && (detail & line.detail_bit) != 0) return line.short_text;
  return line.fault_text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const uint8_t flags = in.ConsumeIntegral<uint8_t>();
  const auto family = static_cast<velarin::EcuFamily>(flags & 0x03);
  const bool no_echo = (flags & 0x0C) == 0x0C;
  const bool strays = (flags & 0x10) != 0;

  velarin::EcuScenario scenario = velarin::DefaultScenario(family);
  scenario.engine_model = false;
  bool clean = !no_echo && !strays;
  uint8_t values[3] = {0, 0, 0};
  for (size_t i = 0; i < velarin::kFaultRequests.size(); ++i) {
    const uint8_t code = velarin::kFaultRequests[i];
    const uint8_t shape = in.ConsumeIntegral<uint8_t>();
    const size_t length = shape < 16 ? 0 : shape < 200 ? 1 : 2 + shape % 8;
    std::vector<uint8_t> answer = in.ConsumeBytes<uint8_t>(length);
    const uint8_t late = in.ConsumeIntegral<uint8_t>();
    if (late >= 224) scenario.latency_for[code] = kLatencies[late % 8];
    if (strays && (late & 0x10) != 0) scenario.stray_before_echo[code] = {late};
    // Up to a few bytes more than asked for all arrive within the 50 ms after the read.
    clean = clean && !answer.empty() && answer.size() <= 8 && late < 224;
    if (!answer.empty()) values[i] = answer[0];
    scenario.answers[code] = std::move(answer);
  }

  velarin::testing::AwakeLink rig(scenario);
  velarin::VirtualClock& clock = rig.clock();
  velarin::fuzz::WatchedDevice watched(rig.line.device(), clock);
  velarin::Form2& f = rig.form2();
  rig.protocol().MSComm1.device = &watched;
  rig.BringUp();
  rig.line.scenario().echo = !no_echo;
  watched.on_wait = [&](const velarin::fuzz::WaitSpan& w) {
    FUZZ_CHECK(velarin::Elapsed(w.first_ms, w.last_ms) <=
                   velarin::kFaultAnswerTimeoutMs + static_cast<int32_t>(kWaitSlackMs),
               "a fault-read wait lasted " + std::to_string(w.last_ms - w.first_ms) + " ms");
  };

  f.Rtb1.Append("before");
  const std::string log_before = f.Rtb1.Text();
  const uint32_t start = clock.NowMs();
  velarin::ReadFaultStatus(f, rig.protocol(), clock);
  watched.EndWait();
  const uint32_t spent = clock.NowMs() - start;

  const std::vector<uint8_t> sent = rig.Sent();
  const std::string sent_hex = velarin::HexText(sent);
  FUZZ_CHECK(
      sent.size() <= 3 && std::equal(sent.begin(), sent.end(), velarin::kFaultRequests.begin()),
      "the fault read sent " + sent_hex);
  const std::string& log = f.Rtb1.Text();
  FUZZ_CHECK(log.compare(0, log_before.size(), log_before) == 0, "the log lost text");
  std::vector<std::string> added;
  for (size_t pos = log_before.size(), end; (end = log.find("\r\n", pos)) != std::string::npos;
       pos = end + 2) {
    added.push_back(log.substr(pos, end - pos));
  }
  FUZZ_CHECK(added.empty() || added.size() == velarin::kFaultReportLines,
             std::to_string(added.size()) + " report lines");
  FUZZ_CHECK(!added.empty() || spent >= static_cast<uint32_t>(velarin::kFaultAnswerTimeoutMs),
             "no report without a time-out (sent " + sent_hex + ")");
  FUZZ_CHECK(added.empty() || sent.size() == 3, "a report after only " + sent_hex);
  if (!clean) return 0;
  FUZZ_CHECK(!added.empty(), "no report although every request was answered");
  const auto& report_lines = velarin::FaultLines();
  for (int i = 0; i < velarin::kFaultReportLines; ++i) {
    const std::string_view want = Expected(report_lines[i], values[0], values[1], values[2]);
    FUZZ_CHECK(added[i] == want, "line " + std::to_string(i + 1) + " reads \"" +
                                     Printable(added[i]) + "\" for the bytes " +
                                     velarin::HexText({values[0], values[1], values[2]}) +
                                     ", not \"" + std::string(want) + "\"");
  }
  return 0;
}
