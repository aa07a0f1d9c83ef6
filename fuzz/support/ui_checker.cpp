#include "support/ui_checker.h"

#include "link/exchange.h"
#include "protocol/kline_codes.h"
#include "support/fuzz_check.h"

namespace velarin::fuzz {
namespace {

constexpr uint32_t kWaitSlackMs = 50;
constexpr size_t kTrailEntries = 24;
constexpr size_t kLongestReadout = 32;

// The test window's codes, from its table: group A is 15m and 15Rc, group B 16m and P8.
constexpr uint8_t kGroupA[9] = {0x80, 0x86, 0x87, 0x85, 0x81, 0x82, 0x83, 0x00, 0x89};
constexpr uint8_t kGroupB[9] = {0x80, 0x81, 0x87, 0x86, 0x82, 0x83, 0x84, 0x00, 0x89};
constexpr int kCustomButton = 8;

bool InRange(uint8_t b, uint8_t lo, uint8_t hi) { return b >= lo && b <= hi; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A typed value as the one byte it asks for: only digits of `base` (blanks and
// tabs around), at most `max`.
std::optional<uint8_t> TypedByte(std::string_view text, int base, unsigned max) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (value > max) return std::nullopt;
  }
  return static_cast<uint8_t>(value);
}

// Whether the live-data frame of `family` asks for `b` with the selectors as they are.
bool LiveCode(EcuFamily family, const Form2& f, uint8_t b) {
  const auto on = [&f](int channel) { return f.Check1[channel].value; };
  if (InRange(b, kline::kRpmHigh, kline::kRpmLow)) return on(0);
  if (InRange(b, kline::kInjectionHigh, kline::kInjectionLow)) return on(1);
  if (InRange(b, kline::kAdvance, kline::kWaterTemp)) return on(b - kline::kAdvance + 2);
  if (b == kline::kThrottle) return on(6);
  if (b == kline::kThrottle15RcSecond) return on(6) && family == EcuFamily::Ecu15Rc;
  if (b == kline::kBattery) return on(7);
  const bool group_a = family == EcuFamily::Ecu15m || family == EcuFamily::Ecu15Rc;
  return on(8) && b == (group_a ? kline::kTrimmer15m : kline::kTrimmer);
}

}  // namespace

void UiChecker::Note(const std::string& what) {
  const uint32_t now = app_.services != nullptr ? app_.clock().NowMs() : 0;
  trail_.push_back(std::to_string(now) + " ms " + what);
  if (trail_.size() > kTrailEntries) trail_.pop_front();
}

void UiChecker::Begin(Actor actor, int param, const std::string& name) {
  const Form2& f = app_.form2;
  const ProtocolState& p = app_.protocol;
  const Form1& t = app_.form1;
  if (actor != Actor::kTick) Note(name);
  if (actor == Actor::kFamily) {
    // A tick the click runs inside goes on with the frame it began; later ones read the new family.
    for (Running& r : running_) r.families[static_cast<size_t>(param)] = true;
  }
  Running r{actor,           param,           name,        p.init, p.ecuinf, p.cal_ask, {},
            t.Option1.value, t.Option2.value, std::nullopt};
  if (std::optional<EcuFamily> family = SelectedFamily(f)) {
    r.families[static_cast<size_t>(*family)] = true;
    if (actor == Actor::kTest && param >= 1 && param <= 9 && !t.Option1.value) {
      const bool group_a = *family == EcuFamily::Ecu15m || *family == EcuFamily::Ecu15Rc;
      r.test_code = param == kCustomButton
                        ? TypedByte(t.Text1.text, 16, 0xFF)
                        : std::optional<uint8_t>((group_a ? kGroupA : kGroupB)[param - 1]);
    }
  }
  running_.push_back(r);
}

void UiChecker::End() {
  if (!running_.empty()) running_.pop_back();
}

bool UiChecker::MaySend(Running& r, uint8_t b) const {
  const Form2& f = app_.form2;
  const Form1& t = app_.form1;
  // A "Back" asked for during a result wait runs in whichever handler returns last.
  if (b == kline::kLeave && t.loaded && t.leave_requested && !r.pending_exit_used) {
    r.pending_exit_used = true;
    return true;
  }
  const bool first = r.sent == 0;
  switch (r.actor) {
    case Actor::kTick:
      if (!r.init &&
          (b == kline::kWakeAnswer[0] || b == kline::kWakeAnswer[1] || b == kline::kWakeAnswer[2]))
        return true;
      if (!r.ecuinf && f.Check3.value && InRange(b, kline::kIdentFirst, kline::kIdentLast))
        return true;
      if (!r.cal_ask && f.Check4.value && InRange(b, kline::kCalFirst, kline::kCalLast))
        return true;
      if (!app_.protocol.cal_ask) return false;
      for (int family = 0; family < 4; ++family) {
        if (r.families[family] && LiveCode(static_cast<EcuFamily>(family), f, b)) return true;
      }
      return false;
    case Actor::kEcuInfo:
      return f.Check3.value && InRange(b, kline::kIdentFirst, kline::kIdentLast);
    case Actor::kCalibration:
      return f.Check4.value && InRange(b, kline::kCalFirst, kline::kCalLast);
    case Actor::kDtc:
      return b == kline::kFault1 || b == kline::kFault2 || b == kline::kDetail;
    case Actor::kTestsMenu:
      return first && b == kline::kEnterDiagnostic;
    case Actor::kTest:
      return first && r.test_code == b;
    case Actor::kCoOn:
      return first && !r.co_on_selected && b == kline::kEnterCo;
    case Actor::kCoOff:
      return first && !r.co_off_selected && b == kline::kLeave;
    case Actor::kTrimmerOk:
      // Read as it stands when sent: the handler yields before sending.
      return first && r.co_on_selected && TypedByte(t.Text2.text, 10, 254) == b;
    case Actor::kBack:
    case Actor::kCloseTest:
    case Actor::kCloseMain:
      return first && b == kline::kLeave;
    default:
      return false;
  }
}

void UiChecker::OnWrite(uint8_t byte) {
  if (running_.empty()) Fail("byte " + HexText({byte}) + " sent outside any handler");
  Running& r = running_.back();
  const bool pending_before = r.pending_exit_used;
  if (!MaySend(r, byte)) {
    Fail("byte " + HexText({byte}) + " sent by \"" + r.name + "\" (" + std::to_string(r.sent) +
         " sent before by it), which may not send it");
  }
  if (r.pending_exit_used == pending_before) ++r.sent;
}

int32_t UiChecker::WaitLimitMs(const Running& r, const WaitSpan& wait) const {
  const auto ident = [](uint8_t b) { return InRange(b, kline::kIdentFirst, kline::kCalLast); };
  int32_t limit = 0;
  switch (r.actor) {
    case Actor::kTick:
      // The burst (no byte sent yet on this opening) and the identification reads: 3000.
      limit = !wait.after_byte || ident(*wait.after_byte) ? 3000 : 2000;
      break;
    case Actor::kEcuInfo:
    case Actor::kCalibration:
    case Actor::kBack:
    case Actor::kCloseTest:
    case Actor::kCloseMain:
      limit = 3000;
      break;
    case Actor::kDtc:
      limit = 2000;
      break;
    case Actor::kTestsMenu:
    case Actor::kTest:
    case Actor::kCoOn:
    case Actor::kCoOff:
    case Actor::kTrimmerOk:
      limit = 5000;
      break;
    default:
      break;
  }
  // The exit from diagnostic mode of a "Back" that was waiting for the handler to end.
  if (wait.after_byte == kline::kLeave && limit < 3000) limit = 3000;
  return limit;
}

void UiChecker::OnWait(const WaitSpan& wait) {
  const int32_t lasted = Elapsed(wait.first_ms, wait.last_ms);
  if (running_.empty()) Fail("a wait outside any handler");
  const int32_t limit = WaitLimitMs(running_.back(), wait);
  if (lasted > limit + static_cast<int32_t>(kWaitSlackMs)) {
    Fail("\"" + running_.back().name + "\" waited " + std::to_string(lasted) +
         " ms for an answer (time-out " + std::to_string(limit) + " ms)");
  }
}

void UiChecker::AfterStep() {
  const Form2& f = app_.form2;
  const Form1& t = app_.form1;
  if (!running_.empty()) Fail("a handler still running between steps: " + running_.back().name);
  const ProtocolState& p = app_.protocol;
  const SerialDevice* device = p.MSComm1.device;
  const bool vanished = device != nullptr && device->Vanished();
  if (p.Timer1.enabled) {
    if (!(f.Check2.value && (p.MSComm1.PortOpen() || vanished)))
      Fail("the polling runs without a connection (port closed or switch released)");
    if (t.loaded) Fail("the polling runs while the test window owns the link");
  }
  if (f.Rtb1.Text().compare(0, main_log_.size(), main_log_) != 0)
    Fail("the main window's log lost or changed text");
  main_log_ = f.Rtb1.Text();
  if (t.instance != test_instance_) {
    test_instance_ = t.instance;
    test_log_.clear();
  }
  if (t.Rtb1.Text().compare(0, test_log_.size(), test_log_) != 0)
    Fail("the test window's log lost or changed text");
  test_log_ = t.Rtb1.Text();
  for (const TextBox& readout : f.Text1) {
    if (readout.text.size() > kLongestReadout) Fail("readout \"" + readout.text + "\"");
  }
}

std::string UiChecker::TrailText() const {
  std::string text = "  last steps:";
  for (const std::string& step : trail_) text += "\n    " + step;
  return text;
}

void UiChecker::Fail(const std::string& what) const {
  std::string message = what + "\n  running:";
  for (const Running& r : running_) message += " [" + r.name + "]";
  velarin::fuzz::Fail(message + "\n" + TrailText());
}

}  // namespace velarin::fuzz
