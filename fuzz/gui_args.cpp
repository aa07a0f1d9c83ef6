// The window program's command line: any argument list parses to exactly one
// outcome, and the options it yields are consistent and parse again the same
// when written back out.
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
using velarin::cli::GuiOptions;
namespace texts = velarin::cli::texts;

std::vector<std::string> LineFor(const GuiOptions& o) {
  static constexpr const char* kNames[] = {"15m", "15Rc", "16m", "P8"};
  std::vector<std::string> args{std::string(texts::kGuiName)};
  if (o.simulate) {
    args.push_back(o.simulate_family
                       ? std::string("--simulate=") + kNames[static_cast<int>(*o.simulate_family)]
                       : std::string("--simulate"));
  }
  if (o.device) args.push_back("--device=" + *o.device);
  if (o.com) args.push_back("--com=" + *o.com);
  if (o.settings) args.push_back("--settings=" + *o.settings);
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = velarin::fuzz::ArgsFromBytes(texts::kGuiName, data, size);
  const auto result = velarin::cli::ParseGuiArgs(args);
  velarin::fuzz::CheckParseShape(result, texts::kGuiName, args);
  if (!result.options) return 0;
  const GuiOptions& o = *result.options;
  const std::string line = velarin::fuzz::ArgsText(args);
  FUZZ_CHECK(!(o.device && o.com), "--device and --com together: " + line);
  FUZZ_CHECK(!(o.simulate && (o.device || o.com)), "--simulate with a port: " + line);
  FUZZ_CHECK(o.simulate || !o.simulate_family, "a simulated family without --simulate: " + line);
  FUZZ_CHECK(!o.device || !o.device->empty(), "empty --device: " + line);
  FUZZ_CHECK(!o.settings || !o.settings->empty(), "empty --settings: " + line);

  const std::vector<std::string> again = LineFor(o);
  const auto reparsed = velarin::cli::ParseGuiArgs(again);
  FUZZ_CHECK(reparsed.options && reparsed.options->simulate == o.simulate &&
                 reparsed.options->simulate_family == o.simulate_family &&
                 reparsed.options->device == o.device && reparsed.options->com == o.com &&
                 reparsed.options->settings == o.settings,
             line + " written back as " + velarin::fuzz::ArgsText(again) +
                 " parses differently: " + velarin::fuzz::Printable(reparsed.error));
  return 0;
}
