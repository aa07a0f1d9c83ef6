#include "report/session_journal.h"

#include <algorithm>
#include <string_view>

#include "actuators/actuator_texts.h"
#include "connection/connection_texts.h"
#include "forms/captions.h"
#include "forms/ecu_family.h"
#include "link/link_texts.h"
#include "protocol/kline_codes.h"
#include "report/report_texts.h"

namespace velarin::report {
namespace {

namespace at = actuator_texts;

std::string Capped(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kMaxTextBytes)));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// An answer as the test window logs it: two upper-case hex digits per byte.
bool IsHexText(std::string_view line) {
  if (line.empty() || line.size() % 2 != 0) return false;
  return std::all_of(line.begin(), line.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

std::vector<std::string> Answers(const std::vector<std::string>& lines) {
  std::vector<std::string> answers;
  for (const std::string& line : lines) {
    if (IsHexText(line) && answers.size() < kMaxAnswers) answers.push_back(Capped(line));
  }
  return answers;
}

bool Has(const std::vector<std::string>& lines, std::string_view text) {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

const std::string* FindPrefixed(const std::vector<std::string>& lines, std::string_view prefix) {
  for (const std::string& line : lines) {
    if (StartsWith(line, prefix)) return &line;
  }
  return nullptr;
}

std::string HexByte(uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

// The "ECU Info" box line that starts with `prefix`, without it; empty when absent.
std::string BoxValue(std::string_view box, std::string_view prefix) {
  for (size_t at = 0; at < box.size();) {
    size_t end = box.find("\r\n", at);
    if (end == std::string_view::npos) end = box.size();
    const std::string_view line = box.substr(at, end - at);
    if (StartsWith(line, prefix)) return Capped(line.substr(prefix.size()));
    at = end + 2;
  }
  return {};
}

// The verdict the test window logged last, else what the lines say happened.
std::string TestOutcome(const std::vector<std::string>& lines, bool no_answer) {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (*it == at::kTestFinish || *it == at::kTestFailed || *it == at::kTestUnknown) return *it;
  }
  if (lines.empty()) return std::string(report_texts::kNotSent);
  // A custom code that is no byte: nothing went out, and the one line says why.
  if (StartsWith(lines.front(), at::kCustomCodeRefused)) return Capped(lines.front());
  if (no_answer) return std::string(report_texts::kNoAnswer);
  return std::string(report_texts::kNoVerdict);
}

template <typename T>
void PushCapped(std::vector<T>& list, uint64_t& dropped, size_t cap, T entry) {
  if (list.size() < cap) {
    list.push_back(std::move(entry));
  } else {
    ++dropped;
  }
}

}  // namespace

void SessionJournal::Observe(const App& app) {
  if (const FamilyFacts* facts = SelectedFacts(app.form2)) record_.family = facts->caption;
  const std::string& box = app.form2.Text4.text;
  // Disconnect empties the box: what it showed last stays in the record.
  auto take = [&box](std::string& into, std::string_view prefix) {
    std::string value = BoxValue(box, prefix);
    if (!value.empty()) into = std::move(value);
  };
  take(record_.iso_code, texts::kIsoCode);
  take(record_.identification, texts::kEcuDataBox);
  take(record_.calibration, texts::kCalibrationBox);
}

void SessionJournal::StepDone(const App& app, const SessionStepDone& done) {
  ++seq_;
  Observe(app);
  switch (done.step) {
    case SessionStep::kLiveRead:
      TakeReadouts(app);
      break;
    case SessionStep::kFaultRead:
      AddFaultRead(done.lines);
      break;
    case SessionStep::kActuatorTest:
      AddTest(done);
      break;
    case SessionStep::kCoOn:
    case SessionStep::kTrimmer:
    case SessionStep::kCoOff:
      AddTrimmer(app, done);
      break;
  }
}

void SessionJournal::AddFaultRead(const std::vector<std::string>& lines) {
  // A time-out prints nothing at all.
  if (lines.empty()) {
    ++record_.fault_unanswered;
    return;
  }
  FaultRead read{seq_, {}};
  for (size_t i = 0; i < lines.size() && i < kMaxAnswers; ++i)
    read.lines.push_back(Capped(lines[i]));
  ++record_.fault_reads;
  if (!record_.first_fault) record_.first_fault = read;
  record_.last_fault = std::move(read);
}

void SessionJournal::AddTest(const SessionStepDone& done) {
  const std::vector<std::string>& lines = done.lines;
  TestRun run;
  run.seq = seq_;
  run.button = done.button;
  run.answers = Answers(lines);
  if (!lines.empty() && !IsHexText(lines.front())) run.name = Capped(lines.front());
  run.clears_dtc = run.name == at::kClearDtc;
  run.verdict = TestOutcome(lines, run.answers.empty());
  if (StartsWith(run.name, at::kCustomCodeRefused)) run.name.clear();  // the verdict says why
  PushCapped(record_.tests, record_.tests_dropped, kMaxTests, std::move(run));
}

void SessionJournal::AddTrimmer(const App& app, const SessionStepDone& done) {
  const std::vector<std::string>& lines = done.lines;
  const Form1& form = app.form1;
  TrimmerEntry entry;
  entry.answers = Answers(lines);
  std::string_view confirmed;
  switch (done.step) {
    case SessionStep::kCoOn:
      entry.kind = TrimmerEntry::Kind::kCoOn;
      entry.sent = HexByte(kline::kEnterCo);
      confirmed = Has(lines, at::kEnterCoOk) ? at::kEnterCoOk : std::string_view();
      if (Has(lines, at::kTestFinish)) confirmed = at::kTestFinish;
      break;
    case SessionStep::kCoOff:
      entry.kind = TrimmerEntry::Kind::kCoOff;
      entry.sent = HexByte(kline::kLeave);
      confirmed = Has(lines, at::kExitCoOk) ? at::kExitCoOk : std::string_view();
      break;
    default: {
      // "Ok" with an empty Text2 does nothing at all: nothing to record.
      if (lines.empty() && form.Text2.text.empty()) return;
      entry.kind = TrimmerEntry::Kind::kTrimmer;
      entry.sent = Capped(form.Text2.text) + std::string(report_texts::kTrimmerPosition) +
                   (form.Slider1.value > 0 ? "+" : "") + std::to_string(form.Slider1.value) + ")";
      if (const std::string* line = FindPrefixed(lines, at::kTrimmerSetTo)) confirmed = *line;
      if (const std::string* line = FindPrefixed(lines, at::kTrimmerRefused)) {
        entry.sent.clear();
        confirmed = *line;
      }
      break;
    }
  }
  if (!confirmed.empty()) {
    entry.result = Capped(confirmed);
  } else if (lines.empty()) {
    entry.result = report_texts::kNotSent;
  } else if (entry.answers.empty()) {
    entry.result = report_texts::kNoAnswer;
  } else {
    entry.result = report_texts::kNotConfirmed;
  }
  PushCapped(record_.trimmer, record_.trimmer_dropped, kMaxTrimmerEntries, std::move(entry));
}

void SessionJournal::TakeReadouts(const App& app) {
  const Form2& f = app.form2;
  ++record_.live_reads;
  record_.live.clear();
  for (int i = 0; i < kChannelCount; ++i) {
    record_.live.push_back(
        {std::string(captions::kChannels[i]), Capped(f.Text1[i].text), f.Label3[i].caption});
  }
  if (f.Label9.visible) {
    record_.live.push_back({std::string(report_texts::kThrottleVolts),
                            Capped(f.Text1[kThrottleVoltsReadout].text), f.Label9.caption});
  }
}

}  // namespace velarin::report
