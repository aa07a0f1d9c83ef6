#include "frontend/cli_options.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string_view>

#include "forms/captions.h"
#include "frontend/cli_texts.h"
#include "protocol/kline_codes.h"

namespace velarin::cli {
namespace {

constexpr double kMaxSeconds = 30.0 * 24 * 3600;  // keeps the ms count well inside 32 bits

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
  if (end != copy.c_str() + copy.size() || !std::isfinite(s) || s <= 0 || s > kMaxSeconds)
    return std::nullopt;
  const double ms = std::ceil(s * 1000.0);
  return static_cast<uint32_t>(ms);
}

bool IsHexDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// --test NAME into its action; nullopt with *why set when NAME is no test.
std::optional<CliAction> TestAction(std::string_view name, std::string* why) {
  CliAction action;
  action.kind = CliAction::Kind::kTest;
  const std::string_view custom = texts::kTestNames[texts::kCustomTestButton - 1];
  if (name.size() > custom.size() && name.substr(0, custom.size()) == custom &&
      name[custom.size()] == '=') {
    const std::string_view hex = name.substr(custom.size() + 1);
    if (!IsHexDigits(hex) || hex.size() > 2) {
      *why = "custom test code '" + std::string(hex) + "' is not one byte of hex (00..FF)";
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
  *why = "unknown test '" + std::string(name) + "'";
  return std::nullopt;
}

// Walks argv: "--name value" and "--name=value" alike; collects errors as one line.
class ArgReader {
 public:
  explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}

  bool Next() {
    ++index_;
    if (index_ >= args_.size()) return false;
    const std::string& arg = args_[index_];
    const size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name_ = arg.substr(0, eq);
      inline_value_ = arg.substr(eq + 1);
    } else {
      name_ = arg;
      inline_value_.reset();
    }
    return true;
  }
  const std::string& name() const { return name_; }
  bool has_inline_value() const { return inline_value_.has_value(); }

  // The option's value: inline after "=", else the next argument.
  std::optional<std::string> Value(std::string* error) {
    if (inline_value_) return inline_value_;
    if (index_ + 1 >= args_.size()) {
      *error = name_ + " needs a value";
      return std::nullopt;
    }
    return args_[++index_];
  }
  // Single-valued options may be given once.
  bool FirstTime(std::string* error) {
    if (!seen_.insert(name_).second) {
      *error = name_ + " given twice";
      return false;
    }
    return true;
  }
  bool NoValue(std::string* error) {
    if (inline_value_) {
      *error = name_ + " takes no value";
      return false;
    }
    return true;
  }

 private:
  const std::vector<std::string>& args_;
  size_t index_ = 0;  // args_[0] is the program
  std::string name_;
  std::optional<std::string> inline_value_;
  std::set<std::string> seen_;
};

// Options both front ends share: --device, --com, --settings. false: not one of them.
bool SharedOption(ArgReader& r, std::optional<std::string>* device, std::optional<std::string>* com,
                  std::optional<std::string>* settings, std::string* error) {
  const std::string& name = r.name();
  if (name != "--device" && name != "--com" && name != "--settings") return false;
  if (!r.FirstTime(error)) return true;
  auto value = r.Value(error);
  if (!value) return true;
  if (name == "--device") {
    if (value->empty()) *error = "--device needs a path";
    *device = *value;
  } else if (name == "--com") {
    if (!WholeNumber(*value, 1, 32767))
      *error = "--com '" + *value + "' is no port number 1..32767";
    *com = *value;
  } else {
    if (value->empty()) *error = "--settings needs a file";
    *settings = *value;
  }
  return true;
}

std::string CheckDeviceOrCom(const std::optional<std::string>& device,
                             const std::optional<std::string>& com) {
  if (device && com) return "--device and --com exclude each other";
  return "";
}

template <typename Options>
ParseResult<Options> Failed(std::string_view program, const std::string& error) {
  ParseResult<Options> result;
  result.error = std::string(program) + ": " + error + std::string(texts::kTryHelp);
  return result;
}

}  // namespace

std::optional<EcuFamily> FamilyFromName(std::string_view name) { return FamilyNamed(name); }

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

ParseResult<CliOptions> ParseCliArgs(const std::vector<std::string>& args) {
  const std::string_view program = texts::kCliName;
  CliOptions o;
  ArgReader r(args);
  std::string error;
  while (error.empty() && r.Next()) {
    const std::string name = r.name();
    if (name == "--help" || name == "-h") {
      ParseResult<CliOptions> help;
      help.help = true;
      return help;
    }
    if (SharedOption(r, &o.device, &o.com, &o.settings, &error)) continue;
    if (name == "--ecu") {
      if (!r.FirstTime(&error)) break;
      if (auto v = r.Value(&error)) {
        o.ecu = FamilyFromName(*v);
        if (!o.ecu) error = "--ecu '" + *v + "' is none of 15m, 15Rc, 16m, P8";
      }
    } else if (name == "--no-ecu-data" || name == "--calibration" || name == "--simulate" ||
               name == "--dtc") {
      if (!r.NoValue(&error)) break;
      if (name == "--dtc") {
        CliAction dtc;
        dtc.kind = CliAction::Kind::kDtc;
        o.actions.push_back(dtc);
        continue;
      }
      if (!r.FirstTime(&error)) break;
      if (name == "--no-ecu-data") o.no_ecu_data = true;
      if (name == "--calibration") o.calibration = true;
      if (name == "--simulate") o.simulate = true;
    } else if (name == "--seconds") {
      if (!r.FirstTime(&error)) break;
      if (auto v = r.Value(&error)) {
        o.seconds_ms = SecondsToMs(*v);
        if (!o.seconds_ms) error = "--seconds '" + *v + "' is no positive number of seconds";
      }
    } else if (name == "--frames") {
      if (!r.FirstTime(&error)) break;
      if (auto v = r.Value(&error)) {
        o.frames = WholeNumber(*v, 1, UINT32_MAX);
        if (!o.frames) error = "--frames '" + *v + "' is no whole number from 1";
      }
    } else if (name == "--channels") {
      if (!r.FirstTime(&error)) break;
      if (auto v = r.Value(&error)) {
        std::string bad;
        o.channels = ChannelsFromList(*v, &bad);
        if (!o.channels) error = "--channels: unknown channel '" + bad + "'";
      }
    } else if (name == "--csv") {
      if (!r.FirstTime(&error)) break;
      if (auto v = r.Value(&error)) {
        if (v->empty()) error = "--csv needs a file or -";
        o.csv = *v;
      }
    } else if (name == "--test") {
      if (auto v = r.Value(&error)) {
        if (auto action = TestAction(*v, &error)) o.actions.push_back(*action);
      }
    } else if (name == "--trimmer") {
      if (auto v = r.Value(&error)) {
        auto n = WholeNumber(*v, 0, kline::kTrimmerMax);
        if (!n) {
          error =
              "--trimmer '" + *v + "' is no byte value 0.." + std::to_string(kline::kTrimmerMax);
        } else {
          CliAction action;
          action.kind = CliAction::Kind::kTrimmer;
          action.trimmer = static_cast<int>(*n);
          o.actions.push_back(action);
        }
      }
    } else {
      error = "unknown option '" + name + "'";
    }
  }
  if (error.empty()) error = CheckDeviceOrCom(o.device, o.com);
  if (error.empty() && o.simulate && (o.device || o.com))
    error = "--simulate brings its own port: drop --device / --com";
  if (!error.empty()) return Failed<CliOptions>(program, error);
  ParseResult<CliOptions> result;
  result.options = std::move(o);
  return result;
}

ParseResult<GuiOptions> ParseGuiArgs(const std::vector<std::string>& args) {
  const std::string_view program = texts::kGuiName;
  GuiOptions o;
  ArgReader r(args);
  std::string error;
  while (error.empty() && r.Next()) {
    const std::string name = r.name();
    if (name == "--help" || name == "-h") {
      ParseResult<GuiOptions> help;
      help.help = true;
      return help;
    }
    if (SharedOption(r, &o.device, &o.com, &o.settings, &error)) continue;
    if (name == "--simulate") {
      if (!r.FirstTime(&error)) break;
      o.simulate = true;
      if (r.has_inline_value()) {
        std::string ignored;
        const std::string value = *r.Value(&ignored);
        o.simulate_family = FamilyFromName(value);
        if (!o.simulate_family) error = "--simulate='" + value + "' is none of 15m, 15Rc, 16m, P8";
      }
    } else {
      error = "unknown option '" + name + "'";
    }
  }
  if (error.empty()) error = CheckDeviceOrCom(o.device, o.com);
  if (error.empty() && o.simulate && (o.device || o.com))
    error = "--simulate brings its own port: drop --device / --com";
  if (!error.empty()) return Failed<GuiOptions>(program, error);
  ParseResult<GuiOptions> result;
  result.options = std::move(o);
  return result;
}

}  // namespace velarin::cli
