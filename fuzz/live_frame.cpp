// The live-data frame of every family, with the ECU's answers chosen by the
// fuzzer and carried through the simulated line on the virtual clock: answers of
// any length, late or missing answers, a missing echo, stray bytes in front of
// the echo, garbage on the line. Whatever comes back, the frame sends only its
// own request codes in frame order (cut short only by a time-out), no wait
// outlasts its 2000 ms time-out, and every readout it writes is a number text.
//
// Input: family, channel selectors, fault flags, then per request code the
// answer (length, bytes) and its latency, then garbage for the line.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "actuators/awake_link.h"
#include "link/exchange.h"
#include "livedata/channels.h"
#include "livedata/frames.h"
#include "livedata/temp_table.h"
#include "livedata/text_forms.h"
#include "protocol/families.h"
#include "protocol/kline_codes.h"
#include "support/fuzz_check.h"
#include "support/watched_device.h"

namespace {

using velarin::EcuFamily;
using velarin::fuzz::Printable;
namespace kline = velarin::kline;

constexpr int32_t kFrameWaitTimeoutMs = 2000;
constexpr int32_t kWaitSlackMs = 50;
constexpr uint32_t kLatencies[] = {1, 2, 3, 4, 1999, 2000, 2001, 2600};
constexpr const char* kSentinel = "r";

uint8_t TrimmerCode(EcuFamily family) {
  return family == EcuFamily::Ecu15m || family == EcuFamily::Ecu15Rc ? kline::kTrimmer15m
                                                                     : kline::kTrimmer;
}

// The codes a full frame sends for the checked channels, in order.
std::vector<uint8_t> FrameCodes(EcuFamily family, const velarin::Form2& f) {
  static constexpr uint8_t kFirst[] = {kline::kRpmHigh,  kline::kInjectionHigh, kline::kAdvance,
                                       kline::kPressure, kline::kAirTemp,       kline::kWaterTemp,
                                       kline::kThrottle, kline::kBattery};
  std::vector<uint8_t> codes;
  for (int i = 0; i < velarin::kChannelCount; ++i) {
    if (!f.Check1[i].value) continue;
    if (i == velarin::kTrimmer) {
      codes.push_back(TrimmerCode(family));
      continue;
    }
    codes.push_back(kFirst[i]);
    if (i == velarin::kRpm || i == velarin::kInjection) codes.push_back(kFirst[i] + 1);
    if (i == velarin::kThrottle && family == EcuFamily::Ecu15Rc) {
      codes.push_back(kline::kThrottle15RcSecond);
    }
  }
  return codes;
}

// A readout is untouched, one of the two fixed rpm texts, or a decimal number.
bool ReadoutText(const std::string& text, int index) {
  if (text == kSentinel + std::to_string(index)) return true;
  if (text == " ----" || text == " 0") return index == velarin::kRpm;
  if (text.empty() || text.size() > 24) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  bool digit = false;
  for (; i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '.'); ++i) {
    digit = digit || text[i] != '.';
  }
  if (i < text.size() && text[i] == 'e') {
    ++i;
    if (i < text.size() && text[i] == '-') ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  }
  return digit && i == text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const auto family = static_cast<EcuFamily>(in.ConsumeIntegralInRange(0, 3));
  const uint16_t selectors = in.ConsumeIntegral<uint16_t>();
  const uint8_t flags = in.ConsumeIntegral<uint8_t>();
  const bool no_echo = (flags & 0x01) != 0 && (flags & 0x02) != 0;
  const bool strays = (flags & 0x04) != 0;
  const int frames = (flags & 0x08) != 0 ? 2 : 1;

  velarin::EcuScenario scenario = velarin::DefaultScenario(family);
  scenario.engine_model = false;
  // Answers only matter once the ECU is awake: the wake-up stays clean.
  std::vector<uint8_t> codes = {kline::kRpmHigh,      kline::kRpmLow,     kline::kInjectionHigh,
                                kline::kInjectionLow, kline::kAdvance,    kline::kPressure,
                                kline::kAirTemp,      kline::kWaterTemp,  kline::kThrottle,
                                kline::kBattery,      TrimmerCode(family)};
  if (family == EcuFamily::Ecu15Rc) codes.push_back(kline::kThrottle15RcSecond);
  bool clean = !no_echo && !strays;
  std::map<uint8_t, uint8_t> single;  // code -> its one-byte answer, in a clean run
  for (uint8_t code : codes) {
    const uint8_t shape = in.ConsumeIntegral<uint8_t>();
    const size_t length = shape < 24 ? 0 : shape < 208 ? 1 : 2 + shape % 4;
    std::vector<uint8_t> answer = in.ConsumeBytes<uint8_t>(length);
    const uint8_t late = in.ConsumeIntegral<uint8_t>();
    if (late >= 224) scenario.latency_for[code] = kLatencies[late % 8];
    if (strays && (late & 0x10) != 0) scenario.stray_before_echo[code] = {late};
    clean = clean && answer.size() == 1 && late < 224;
    if (answer.size() == 1) single[code] = answer[0];
    scenario.answers[code] = std::move(answer);
  }
  const std::vector<uint8_t> garbage = in.ConsumeBytes<uint8_t>(16);
  clean = clean && garbage.empty();

  velarin::testing::AwakeLink rig(scenario);
  velarin::VirtualClock& clock = rig.clock();
  velarin::fuzz::WatchedDevice watched(rig.line.device(), clock);
  velarin::Form2& f = rig.form2();
  rig.protocol().MSComm1.device = &watched;
  velarin::BuildTempTable(rig.protocol());
  rig.BringUp();
  FUZZ_CHECK(rig.line.ecu_awake(), "the simulated ECU did not wake up");
  rig.line.scenario().echo = !no_echo;
  for (int i = 0; i < velarin::kChannelCount; ++i) f.Check1[i].value = (selectors >> i) & 1;
  for (int i = 0; i < velarin::kReadoutCount; ++i) f.Text1[i].text = kSentinel + std::to_string(i);
  watched.on_wait = [&](const velarin::fuzz::WaitSpan& w) {
    FUZZ_CHECK(velarin::Elapsed(w.first_ms, w.last_ms) <= kFrameWaitTimeoutMs + kWaitSlackMs,
               "a frame wait lasted " + std::to_string(w.last_ms - w.first_ms) + " ms");
  };
  if (!garbage.empty()) rig.line.InjectFromEcu(garbage);

  const std::vector<uint8_t> full = FrameCodes(family, f);
  for (int frame = 0; frame < frames; ++frame) {
    const size_t sent_before = rig.line.SentByProgram().size();
    const uint32_t start = clock.NowMs();
    velarin::ReadLiveFrame(rig.app, *velarin::FactsOf(family).live_frame);
    watched.EndWait();
    const uint32_t spent = clock.NowMs() - start;
    const std::vector<uint8_t> all = rig.line.SentByProgram();
    const std::vector<uint8_t> sent(all.begin() + static_cast<std::ptrdiff_t>(sent_before),
                                    all.end());
    const std::string sent_hex = velarin::HexText(sent);
    FUZZ_CHECK(sent.size() <= full.size() && std::equal(sent.begin(), sent.end(), full.begin()),
               "the frame sent " + sent_hex + ", not a start of " + velarin::HexText(full));
    FUZZ_CHECK(sent.size() == full.size() || spent >= uint32_t{kFrameWaitTimeoutMs},
               "the frame stopped after " + sent_hex + " without a time-out");
    for (int i = 0; i < velarin::kReadoutCount; ++i) {
      FUZZ_CHECK(ReadoutText(f.Text1[i].text, i),
                 "readout " + std::to_string(i) + " shows \"" + Printable(f.Text1[i].text) + "\"");
    }
    if (!clean) continue;
    // Every answer one byte behind its echo: the battery and trimmer bytes are read as sent.
    if (f.Check1[velarin::kBattery].value) {
      const uint8_t x = single.at(kline::kBattery);
      const bool no_value = x == 0xFF && family != EcuFamily::EcuP8;
      FUZZ_CHECK(no_value || f.Text1[velarin::kBattery].text == velarin::PlainText(x * 0.0625),
                 "battery byte " + std::to_string(x) + " shows " + f.Text1[velarin::kBattery].text);
    }
    if (f.Check1[velarin::kTrimmer].value) {
      const uint8_t x = single.at(TrimmerCode(family));
      FUZZ_CHECK(f.Text1[velarin::kTrimmer].text == velarin::PlainText(x - 128.0),
                 "trimmer byte " + std::to_string(x) + " shows " + f.Text1[velarin::kTrimmer].text);
    }
  }
  return 0;
}
