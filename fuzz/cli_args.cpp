// velarin-cli's command line: any argument list parses to exactly one outcome;
// the options it yields are within their ranges, and written back out as a
// command line they parse to the same options.
//
// Input: the arguments after the program name, separated by NUL bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "support/args.h"
#include "support/fuzz_check.h"
#include "velarin-cli/cli_options.h"
#include "velarin-cli/cli_texts.h"

namespace {

using velarin::EcuFamily;
using velarin::cli::CliAction;
using velarin::cli::CliOptions;
namespace texts = velarin::cli::texts;

std::string FamilyName(EcuFamily family) {
  switch (family) {
    case EcuFamily::Ecu15m:
      return "15m";
    case EcuFamily::Ecu15Rc:
      return "15Rc";
    case EcuFamily::Ecu16m:
      return "16m";
    case EcuFamily::EcuP8:
      return "P8";
  }
  return "";
}

bool HexByte(const std::string& s) {
  if (s.empty() || s.size() > 2) return false;
  for (char c : s) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

void CheckRanges(const CliOptions& o, const std::string& line) {
  FUZZ_CHECK(!(o.device && o.com), "--device and --com together: " + line);
  FUZZ_CHECK(!(o.simulate && (o.device || o.com)), "--simulate with a port: " + line);
  FUZZ_CHECK(!o.device || !o.device->empty(), "empty --device: " + line);
  FUZZ_CHECK(!o.settings || !o.settings->empty(), "empty --settings: " + line);
  FUZZ_CHECK(!o.csv || !o.csv->empty(), "empty --csv: " + line);
  if (o.com) {
    bool digits = !o.com->empty() && o.com->size() <= 5;
    for (char c : *o.com) digits = digits && c >= '0' && c <= '9';
    FUZZ_CHECK(digits && std::stol(*o.com) >= 1 && std::stol(*o.com) <= 32767,
               "--com outside 1..32767: " + line);
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
      FUZZ_CHECK(a.trimmer >= 0 && a.trimmer <= 254, "--trimmer outside 0..254: " + line);
    } else if (a.kind == CliAction::Kind::kTest) {
      FUZZ_CHECK(a.test_button >= 1 && a.test_button <= 9, "test button out of range: " + line);
      FUZZ_CHECK((a.test_button == texts::kCustomTestButton) == HexByte(a.custom_code),
                 "custom code not one hex byte: " + line);
    }
  }
}

// The options as the command line that asks for them.
std::vector<std::string> LineFor(const CliOptions& o) {
  std::vector<std::string> args{std::string(texts::kCliName)};
  auto add = [&args](const std::string& name, const std::string& value) {
    args.push_back(name);
    args.push_back(value);
  };
  if (o.device) add("--device", *o.device);
  if (o.com) add("--com", *o.com);
  if (o.ecu) add("--ecu", FamilyName(*o.ecu));
  if (o.no_ecu_data) args.push_back("--no-ecu-data");
  if (o.calibration) args.push_back("--calibration");
  if (o.settings) add("--settings", *o.settings);
  if (o.simulate) args.push_back("--simulate");
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
  if (o.csv) args.push_back("--csv=" + *o.csv);  // a file named like an option stays a value
  for (const CliAction& a : o.actions) {
    switch (a.kind) {
      case CliAction::Kind::kDtc:
        args.push_back("--dtc");
        break;
      case CliAction::Kind::kTest:
        add("--test", a.test_button == texts::kCustomTestButton
                          ? "custom=" + a.custom_code
                          : std::string(texts::kTestNames[a.test_button - 1]));
        break;
      case CliAction::Kind::kTrimmer:
        add("--trimmer", std::to_string(a.trimmer));
        break;
    }
  }
  return args;
}

bool SameOptions(const CliOptions& a, const CliOptions& b) {
  // --seconds is left out of the line: its text form is not unique.
  return a.device == b.device && a.com == b.com && a.ecu == b.ecu &&
         a.no_ecu_data == b.no_ecu_data && a.calibration == b.calibration &&
         a.settings == b.settings && a.simulate == b.simulate && a.frames == b.frames &&
         a.channels == b.channels && a.csv == b.csv && a.actions == b.actions;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = velarin::fuzz::ArgsFromBytes(texts::kCliName, data, size);
  const auto result = velarin::cli::ParseCliArgs(args);
  velarin::fuzz::CheckParseShape(result, texts::kCliName, args);
  if (!result.options) return 0;
  const std::string line = velarin::fuzz::ArgsText(args);
  CheckRanges(*result.options, line);
  const std::vector<std::string> again = LineFor(*result.options);
  const auto reparsed = velarin::cli::ParseCliArgs(again);
  FUZZ_CHECK(reparsed.options && SameOptions(*reparsed.options, *result.options),
             line + " written back as " + velarin::fuzz::ArgsText(again) +
                 " parses differently: " + velarin::fuzz::Printable(reparsed.error));
  return 0;
}
