#include "frontend/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

#include "frontend/texts.h"
#include "platform/version.h"
#include "protocol/kline_codes.h"

namespace velarin::frontend {
namespace {

constexpr double kMaxSeconds = 30.0 * 24 * 3600;  // keeps the ms count well inside 32 bits
constexpr uint64_t kMaxPortNumber = 32767;
constexpr uint64_t kMaxIgnitionDelayMs = 24u * 3600 * 1000;
constexpr uint64_t kMaxAnswerLatencyMs = 1000;
constexpr size_t kMaxBurstBytes = 64;
constexpr size_t kUsageColumn = 24;  // where the help of each option starts

constexpr unsigned Bit(Program p) { return static_cast<unsigned>(p); }
constexpr unsigned kWindow = Bit(Program::kWindow);
constexpr unsigned kCli = Bit(Program::kCli);
constexpr unsigned kEcuSim = Bit(Program::kEcuSim);

// "'VALUE' is none of ..." -- how every refused value is reported after the option's name.
std::string Refused(std::string_view value, std::string_view why) {
  return "'" + std::string(value) + "' " + std::string(why);
}

// Whole decimal number, digits only, within [lo, hi].
std::optional<uint64_t> WholeNumber(std::string_view text, uint64_t lo, uint64_t hi) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < lo || value > hi) return std::nullopt;
  return value;
}

std::optional<uint32_t> SecondsToMs(std::string_view text) {
  if (text.empty() || text.size() > 32) return std::nullopt;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.') return std::nullopt;
  }
  const std::string copy(text);
  char* end = nullptr;
  const double s = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(s) || s <= 0 || s > kMaxSeconds) {
    return std::nullopt;
  }
  return static_cast<uint32_t>(std::ceil(s * 1000.0));
}

bool IsHexDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::optional<std::vector<uint8_t>> HexBytes(std::string_view text) {
  if (text.size() % 2 != 0 || text.size() / 2 > kMaxBurstBytes) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < text.size(); i += 2) {
    uint8_t b = 0;
    auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, b, 16);
    if (ec != std::errc() || end != text.data() + i + 2) return std::nullopt;
    bytes.push_back(b);
  }
  return bytes;
}

// The names --test takes, in button order ("custom=HEX" for the custom code).
std::string TestNames() {
  std::string names;
  for (size_t i = 0; i < texts::kTestNames.size(); ++i) {
    if (!names.empty()) names += ", ";
    names += texts::kTestNames[i];
    if (static_cast<int>(i) + 1 == texts::kCustomTestButton) names += "=HEX";
  }
  return names;
}

// --test NAME as its action; nullopt with *why set when NAME is no test.
std::optional<CliAction> TestAction(std::string_view name, std::string* why) {
  CliAction action;
  action.kind = CliAction::Kind::kTest;
  const std::string_view custom = texts::kTestNames[texts::kCustomTestButton - 1];
  if (name.size() > custom.size() && name.substr(0, custom.size()) == custom &&
      name[custom.size()] == '=') {
    const std::string_view hex = name.substr(custom.size() + 1);
    if (!IsHexDigits(hex) || hex.size() > 2) {
      *why = Refused(name, "gives a code that is not one byte of hex (00..FF)");
      return std::nullopt;
    }
    action.test_button = texts::kCustomTestButton;
    action.custom_code = std::string(hex);
    return action;
  }
  for (size_t i = 0; i < texts::kTestNames.size(); ++i) {
    if (static_cast<int>(i) + 1 == texts::kCustomTestButton) continue;
    if (name == texts::kTestNames[i]) {
      action.test_button = static_cast<int>(i) + 1;
      return action;
    }
  }
  *why = Refused(name, "is none of " + TestNames());
  return std::nullopt;
}

std::string Family(std::optional<EcuFamily>* family, std::string_view v) {
  *family = FamilyNamed(v);
  return *family ? "" : Refused(v, "is none of " + FamilyCaptions(", "));
}

std::string Path(std::optional<std::string>* field, std::string_view v, std::string_view what) {
  *field = std::string(v);
  return v.empty() ? "needs " + std::string(what) : "";
}

// A family name is never a path; a capture's file name holds a dot or a separator.
bool LooksLikePath(std::string_view v) { return v.find_first_of("./\\") != std::string_view::npos; }

// The error quotes what was typed: a line break or other control byte in it is
// written as \xHH, so the message stays one line and cannot steer the terminal.
std::string OneLine(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      line.push_back(c);
      continue;
    }
    line += "\\x";
    line.push_back(kHex[byte >> 4]);
    line.push_back(kHex[byte & 0x0F]);
  }
  return line;
}

// The value an option was given: nullopt for a switch or an absent glued value.
using Value = std::optional<std::string_view>;

std::vector<OptionRow> MakeTable() {
  using F = ValueForm;
  return {
      {"--device", "PATH", F::kRequired, kWindow | kCli, false,
       "the serial device to open, e.g. /dev/ttyUSB0 (not with --com)",
       [](Options& o, Value v) { return Path(&o.device, *v, "a path"); }},
      {"--com", "N", F::kRequired, kWindow | kCli, false,
       "port number N: /dev/ttyUSB(N-1) on Linux, COMN on Windows",
       [](Options& o, Value v) -> std::string {
         o.com = std::string(*v);
         if (WholeNumber(*v, 1, kMaxPortNumber)) return "";
         return Refused(*v, "is no port number 1.." + std::to_string(kMaxPortNumber));
       }},
      {"--ecu", "FAMILY", F::kRequired, kCli | kEcuSim, false, "the ECU family: {families}",
       [](Options& o, Value v) { return Family(&o.ecu, *v); }},
      {"--simulate", "FAMILY|FILE", F::kGlued, kWindow, false,
       "a simulated ECU (of FAMILY: {families}; or playing back the capture FILE) on a "
       "pseudo-terminal instead of a port",
       [](Options& o, Value v) -> std::string {
         o.simulate = true;
         if (!v || FamilyNamed(*v)) return v ? Family(&o.ecu, *v) : "";
         if (LooksLikePath(*v)) return Path(&o.replay, *v, "a file");
         return Refused(*v, "is none of " + FamilyCaptions(", ") + ", nor a capture file's path");
       }},
      {"--simulate", "", F::kNone, kCli, false,
       "a simulated ECU (of the --ecu family) on a pseudo-terminal instead of a port",
       [](Options& o, Value) -> std::string {
         o.simulate = true;
         return "";
       }},
      {"--replay", "FILE", F::kRequired, kCli | kEcuSim, false,
       "play the capture FILE back as the ECU (a simulated ECU, as --simulate)",
       [](Options& o, Value v) {
         o.simulate = true;
         return Path(&o.replay, *v, "a capture file");
       }},
      {"--capture", "FILE", F::kRequired, kWindow | kCli, false,
       "capture every byte to and from the adapter into FILE",
       [](Options& o, Value v) { return Path(&o.capture, *v, "a file"); }},
      {"--check-adapter", "", F::kNone, kCli, false,
       "check the adapter (the ignition must be off) and print each measurement",
       [](Options& o, Value) -> std::string {
         o.check_adapter = true;
         return "";
       }},
      {"--no-ecu-data", "", F::kNone, kCli, false, "skip the identification read",
       [](Options& o, Value) -> std::string {
         o.no_ecu_data = true;
         return "";
       }},
      {"--calibration", "", F::kNone, kCli, false, "read the calibration text too",
       [](Options& o, Value) -> std::string {
         o.calibration = true;
         return "";
       }},
      {"--settings", "FILE", F::kRequired, kWindow | kCli, false,
       "the settings file (by default the program's name + .ini beside it)",
       [](Options& o, Value v) { return Path(&o.settings, *v, "a file"); }},
      {"--seconds", "S", F::kRequired, kCli | kEcuSim, false, "stop after S seconds",
       [](Options& o, Value v) -> std::string {
         o.seconds_ms = SecondsToMs(*v);
         return o.seconds_ms ? "" : Refused(*v, "is no positive number of seconds");
       }},
      {"--frames", "N", F::kRequired, kCli, false, "stop after N live-data reads",
       [](Options& o, Value v) -> std::string {
         o.frames = WholeNumber(*v, 1, UINT32_MAX);
         return o.frames ? "" : Refused(*v, "is no whole number from 1");
       }},
      {"--channels", "LIST", F::kRequired, kCli, false,
       "the polled channels, a comma list of {channels}",
       [](Options& o, Value v) -> std::string {
         std::string bad;
         o.channels = ChannelsFromList(*v, &bad);
         return o.channels ? "" : Refused(*v, "has an unknown channel '" + bad + "'");
       }},
      {"--csv", "FILE|-", F::kRequired, kCli, false,
       "a CSV row per read into FILE (-: stdout, the other lines then go to stderr)",
       [](Options& o, Value v) { return Path(&o.csv, *v, "a file or -"); }},
      {"--service-report", "FILE", F::kRequired, kCli, false,
       "write the service report (HTML) to FILE when the run ends",
       [](Options& o, Value v) { return Path(&o.service_report, *v, "a file"); }},
      {"--dtc", "", F::kNone, kCli, true, "read the fault report",
       [](Options& o, Value) -> std::string {
         o.actions.emplace_back();  // a CliAction is kDtc unless told otherwise
         return "";
       }},
      {"--test", "NAME", F::kRequired, kCli, true, "run a test: {tests}",
       [](Options& o, Value v) -> std::string {
         std::string why;
         if (std::optional<CliAction> action = TestAction(*v, &why)) o.actions.push_back(*action);
         return why;
       }},
      {"--trimmer", "N", F::kRequired, kCli, true,
       "set the CO trimmer to byte N = slider position + 127, 0..{trimmer}",
       [](Options& o, Value v) -> std::string {
         const std::optional<uint64_t> n = WholeNumber(*v, 0, kline::kTrimmerMax);
         if (!n) return Refused(*v, "is no byte value 0.." + std::to_string(kline::kTrimmerMax));
         CliAction action;
         action.kind = CliAction::Kind::kTrimmer;
         action.trimmer = static_cast<int>(*n);
         o.actions.push_back(action);
         return "";
       }},
      {"--list-ports", "", F::kNone, kCli, false,
       "list the serial ports and what identifies each adapter, then exit",
       [](Options& o, Value) -> std::string {
         o.list_ports = true;
         return "";
       }},
      {"--link", "PATH", F::kRequired, kEcuSim, false,
       "keep a symlink to the pseudo-terminal at PATH",
       [](Options& o, Value v) { return Path(&o.link, *v, "a path"); }},
      {"--ignition-delay", "MS", F::kRequired, kEcuSim, false,
       "switch the ignition on MS milliseconds after the start",
       [](Options& o, Value v) -> std::string {
         const std::optional<uint64_t> ms = WholeNumber(*v, 0, kMaxIgnitionDelayMs);
         if (ms) o.ignition_delay_ms = static_cast<uint32_t>(*ms);
         return ms ? "" : Refused(*v, "is no whole number of milliseconds up to a day");
       }},
      {"--answer-latency", "MS", F::kRequired, kEcuSim, false,
       "answer each request MS milliseconds after its echo",
       [](Options& o, Value v) -> std::string {
         const std::optional<uint64_t> ms = WholeNumber(*v, 0, kMaxAnswerLatencyMs);
         if (ms) o.answer_latency_ms = static_cast<uint32_t>(*ms);
         return ms ? "" : Refused(*v, "is no whole number of milliseconds up to a second");
       }},
      {"--no-echo", "", F::kNone, kEcuSim, false, "an adapter that echoes nothing",
       [](Options& o, Value) -> std::string {
         o.no_echo = true;
         return "";
       }},
      {"--burst", "HEX", F::kRequired, kEcuSim, false,
       "the ISO-code burst, pairs of hex digits (at most 64 bytes)",
       [](Options& o, Value v) -> std::string {
         o.burst = HexBytes(*v);
         return o.burst ? "" : Refused(*v, "is not pairs of hex digits (at most 64 bytes)");
       }},
      {"--version", "", F::kNone, kWindow | kCli | kEcuSim, false,
       "print the program's version and exit",
       [](Options& o, Value) -> std::string {
         o.version = true;
         return "";
       }},
  };
}

const OptionRow* Find(Program program, std::string_view name) {
  for (const OptionRow& row : OptionTable()) {
    if (row.name == name && (row.programs & Bit(program)) != 0) return &row;
  }
  return nullptr;
}

bool IsHelp(std::string_view name) { return name == "--help" || name == "-h"; }

// What the usage shows in place of each name in braces.
std::string Expanded(std::string_view help) {
  std::string channels;
  for (std::string_view name : texts::kChannelNames) {
    channels += (channels.empty() ? "" : ", ") + std::string(name);
  }
  const std::pair<std::string_view, std::string> fields[] = {
      {"{families}", FamilyCaptions(", ")},
      {"{channels}", channels},
      {"{tests}", TestNames()},
      {"{trimmer}", std::to_string(kline::kTrimmerMax)},
  };
  std::string text(help);
  for (const auto& [field, value] : fields) {
    const size_t at = text.find(field);
    if (at != std::string::npos) text.replace(at, field.size(), value);
  }
  return text;
}

}  // namespace

std::string_view ProgramName(Program program) {
  switch (program) {
    case Program::kWindow:
      return texts::kGuiName;
    case Program::kCli:
      return texts::kCliName;
    case Program::kEcuSim:
      break;
  }
  return texts::kEcuSimName;
}

const std::vector<OptionRow>& OptionTable() {
  static const std::vector<OptionRow> table = MakeTable();
  return table;
}

std::optional<std::array<bool, kChannelCount>> ChannelsFromList(std::string_view list,
                                                                std::string* bad_name) {
  std::array<bool, kChannelCount> checked{};
  bool any = false;
  size_t start = 0;
  for (;;) {
    const size_t comma = list.find(',', start);
    const std::string_view name = list.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    bool known = false;
    for (size_t i = 0; i < texts::kChannelNames.size(); ++i) {
      if (name == texts::kChannelNames[i]) {
        checked[i] = true;
        known = any = true;
      }
    }
    if (!known) {
      *bad_name = std::string(name);
      return std::nullopt;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (!any) return std::nullopt;
  return checked;
}

ParseResult ParseArgs(Program program, const std::vector<std::string>& args) {
  Options options;
  std::set<std::string_view> seen;
  std::string error;
  for (size_t i = 1; i < args.size() && error.empty(); ++i) {
    const std::string& arg = args[i];
    const size_t eq = arg.find('=');
    const bool glued = arg.rfind("--", 0) == 0 && eq != std::string::npos;
    const std::string name = glued ? arg.substr(0, eq) : arg;
    if (IsHelp(name)) {
      ParseResult help;
      help.help = true;
      return help;
    }
    const OptionRow* row = Find(program, name);
    if (row == nullptr) {
      error = "unknown option '" + name + "'";
      break;
    }
    if (row->form == ValueForm::kNone && glued) {
      error = name + " takes no value";
      break;
    }
    if (!row->repeatable && !seen.insert(row->name).second) {
      error = name + " given twice";
      break;
    }
    std::optional<std::string_view> value;
    if (glued) {
      value = std::string_view(arg).substr(eq + 1);
    } else if (row->form == ValueForm::kRequired) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        break;
      }
      value = args[++i];
    }
    const std::string why = row->apply(options, value);
    if (!why.empty()) error = name + " " + why;
  }
  if (error.empty() && options.device && options.com) {
    error = "--device and --com exclude each other";
  }
  if (error.empty() && options.simulate && (options.device || options.com)) {
    const bool replay_option = options.replay && program != Program::kWindow;
    error = std::string(replay_option ? "--replay" : "--simulate") +
            " brings its own port: drop --device / --com";
  }
  if (error.empty() && options.check_adapter &&
      (options.frames || options.csv || !options.actions.empty())) {
    error = "--check-adapter does not connect: drop --frames, --csv, --dtc, --test and --trimmer";
  }
  if (error.empty() && program == Program::kEcuSim && options.replay &&
      (options.ecu || options.burst || options.no_echo)) {
    error = "--replay plays the captured ECU: drop --ecu, --burst and --no-echo";
  }
  ParseResult result;
  if (error.empty()) {
    result.options = std::move(options);
  } else {
    result.error =
        std::string(ProgramName(program)) + ": " + OneLine(error) + std::string(texts::kTryHelp);
  }
  return result;
}

std::string Usage(Program program) {
  std::string usage = "usage: " + std::string(ProgramName(program)) + " [OPTION]...\n";
  auto line = [&usage](std::string left, std::string_view help) {
    left.resize(std::max(left.size() + 2, kUsageColumn), ' ');
    usage += left + std::string(help) + "\n";
  };
  for (const OptionRow& row : OptionTable()) {
    if ((row.programs & Bit(program)) == 0) continue;
    std::string left = "  " + std::string(row.name);
    if (row.form == ValueForm::kRequired) left += " " + std::string(row.value);
    if (row.form == ValueForm::kGlued) left += "[=" + std::string(row.value) + "]";
    std::string help = Expanded(row.help);
    if (row.repeatable) help += " (may be repeated)";
    line(left, help);
  }
  line("  --help, -h", "this text");
  usage += "A value follows its option as --name VALUE or --name=VALUE.\n";
  return usage;
}

std::optional<int> ExitBeforeRunning(Program program, const ParseResult& parsed, std::ostream& out,
                                     std::ostream& err) {
  if (parsed.help) {
    out << Usage(program);
    out.flush();
    return kExitOk;
  }
  if (!parsed.options) {
    err << parsed.error << std::endl;
    return kExitUsage;
  }
  if (parsed.options->version) {
    out << ProgramName(program) << ' ' << kProgramVersion << '\n';
    out.flush();
    return kExitOk;
  }
  return std::nullopt;
}

}  // namespace velarin::frontend
