#include "support/args.h"

#include <cctype>

#include "frontend/texts.h"
#include "protocol/families.h"
#include "protocol/kline_codes.h"
#include "support/fuzz_check.h"

namespace velarin::fuzz {
namespace {

using frontend::CliAction;
using frontend::Options;
using frontend::Program;
namespace texts = frontend::texts;

constexpr int kMaxPortNumber = 32767;

bool HexByte(const std::string& s) {
  if (s.empty() || s.size() > 2) return false;
  for (char c : s) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

void CheckRanges(const Options& o, const std::string& line) {
  FUZZ_CHECK(!(o.device && o.com), "--device and --com together: " + line);
  FUZZ_CHECK(!(o.simulate && (o.device || o.com)), "--simulate with a port: " + line);
  FUZZ_CHECK(!o.device || !o.device->empty(), "empty --device: " + line);
  FUZZ_CHECK(!o.settings || !o.settings->empty(), "empty --settings: " + line);
  FUZZ_CHECK(!o.csv || !o.csv->empty(), "empty --csv: " + line);
  FUZZ_CHECK(!o.replay || (!o.replay->empty() && o.simulate), "--replay not simulated: " + line);
  FUZZ_CHECK(!o.capture || !o.capture->empty(), "empty --capture: " + line);
  FUZZ_CHECK(!o.check_adapter || (!o.frames && !o.csv && o.actions.empty()),
             "--check-adapter with a connection's options: " + line);
  FUZZ_CHECK(!o.service_report || !o.service_report->empty(), "empty --service-report: " + line);
  if (o.com) {
    // Leading zeros are fine ("0003" is port 3), as in the window's "Com" box.
    bool digits = !o.com->empty() && o.com->size() <= 19;
    for (char c : *o.com) digits = digits && c >= '0' && c <= '9';
    FUZZ_CHECK(digits && std::stoull(*o.com) >= 1 && std::stoull(*o.com) <= kMaxPortNumber,
               "--com outside 1.." + std::to_string(kMaxPortNumber) + ": " + line);
  }
  FUZZ_CHECK(!o.seconds_ms || *o.seconds_ms > 0, "--seconds of 0 ms: " + line);
  FUZZ_CHECK(!o.frames || (*o.frames >= 1 && *o.frames <= UINT32_MAX), "--frames range: " + line);
  if (o.channels) {
    bool any = false;
    for (bool c : *o.channels) any = any || c;
    FUZZ_CHECK(any, "--channels with no channel: " + line);
  }
  for (const CliAction& a : o.actions) {
    if (a.kind == CliAction::Kind::kTrimmer) {
      FUZZ_CHECK(a.trimmer >= 0 && a.trimmer <= kline::kTrimmerMax,
                 "--trimmer outside the trimmer bytes: " + line);
    } else if (a.kind == CliAction::Kind::kTest) {
      FUZZ_CHECK(a.test_button >= 1 && a.test_button <= static_cast<int>(texts::kTestNames.size()),
                 "test button out of range: " + line);
      FUZZ_CHECK((a.test_button == texts::kCustomTestButton) == HexByte(a.custom_code),
                 "custom code not one hex byte: " + line);
    }
  }
}

// The options as the command line that asks for them; a value always glued, so a
// value that looks like an option stays a value.
std::vector<std::string> LineFor(Program program, const Options& o) {
  std::vector<std::string> args{std::string(frontend::ProgramName(program))};
  auto add = [&args](const std::string& name, const std::string& value) {
    args.push_back(name + "=" + value);
  };
  const auto family = [](EcuFamily f) { return std::string(FactsOf(f).caption); };
  if (program == Program::kWindow && o.simulate) {
    args.push_back(o.replay ? "--simulate=" + *o.replay
                   : o.ecu  ? "--simulate=" + family(*o.ecu)
                            : "--simulate");
  } else {
    if (o.replay) {
      add("--replay", *o.replay);  // a simulated ECU of its own
    } else if (o.simulate) {
      args.push_back("--simulate");
    }
    if (o.ecu) add("--ecu", family(*o.ecu));
  }
  if (o.capture) add("--capture", *o.capture);
  if (o.check_adapter) args.push_back("--check-adapter");
  if (o.version) args.push_back("--version");
  if (o.list_ports) args.push_back("--list-ports");
  if (o.device) add("--device", *o.device);
  if (o.com) add("--com", *o.com);
  if (o.no_ecu_data) args.push_back("--no-ecu-data");
  if (o.calibration) args.push_back("--calibration");
  if (o.settings) add("--settings", *o.settings);
  if (o.frames) add("--frames", std::to_string(*o.frames));
  if (o.channels) {
    std::string list;
    for (size_t i = 0; i < o.channels->size(); ++i) {
      if (!(*o.channels)[i]) continue;
      if (!list.empty()) list += ',';
      list += texts::kChannelNames[i];
    }
    add("--channels", list);
  }
  if (o.csv) add("--csv", *o.csv);
  if (o.service_report) add("--service-report", *o.service_report);
  for (const CliAction& a : o.actions) {
    switch (a.kind) {
      case CliAction::Kind::kDtc:
        args.push_back("--dtc");
        break;
      case CliAction::Kind::kTest: {
        const std::string name(texts::kTestNames[a.test_button - 1]);
        add("--test",
            a.test_button == texts::kCustomTestButton ? name + "=" + a.custom_code : name);
        break;
      }
      case CliAction::Kind::kTrimmer:
        add("--trimmer", std::to_string(a.trimmer));
        break;
    }
  }
  return args;
}

}  // namespace

std::vector<std::string> ArgsFromBytes(Program program, const uint8_t* data, size_t size) {
  std::vector<std::string> args{std::string(frontend::ProgramName(program))};
  if (size == 0) return args;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  args.push_back(current);
  return args;
}

std::string ArgsText(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    line += "'" + Printable(arg) + "'";
  }
  return line;
}

void CheckCommandLine(Program program, const uint8_t* data, size_t size) {
  const std::vector<std::string> args = ArgsFromBytes(program, data, size);
  const std::string line = ArgsText(args);
  const frontend::ParseResult result = frontend::ParseArgs(program, args);
  const int outcomes = (result.options ? 1 : 0) + (result.help ? 1 : 0) + !result.error.empty();
  FUZZ_CHECK(outcomes == 1, "not exactly one outcome for " + line);
  if (!result.error.empty()) {
    const std::string name(frontend::ProgramName(program));
    FUZZ_CHECK(result.error.rfind(name + ": ", 0) == 0,
               "error without the program's name: " + Printable(result.error));
    FUZZ_CHECK(result.error.find_first_of("\r\n") == std::string::npos,
               "error of more than one line: \"" + Printable(result.error) + "\"");
  }
  if (!result.options) return;
  CheckRanges(*result.options, line);
  FUZZ_CHECK(program != Program::kWindow || result.options->simulate ||
                 (!result.options->ecu && !result.options->replay),
             "a window family or capture without --simulate: " + line);
  const std::vector<std::string> again = LineFor(program, *result.options);
  frontend::ParseResult reparsed = frontend::ParseArgs(program, again);
  // --seconds is not written back: its text form is not unique.
  if (reparsed.options) reparsed.options->seconds_ms = result.options->seconds_ms;
  FUZZ_CHECK(reparsed.options == result.options,
             line + " written back as " + ArgsText(again) +
                 " parses differently: " + Printable(reparsed.error));
}

}  // namespace velarin::fuzz
