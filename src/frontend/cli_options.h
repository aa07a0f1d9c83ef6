#pragma once
// Command lines of the two front ends, parsed into plain option structs.
// A parse either yields options, a request for help, or one line saying what is wrong.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forms/ecu_family.h"
#include "forms/form2.h"

namespace velarin::cli {

// One step the CLI performs once the first live-data read is in, in command-line order.
struct CliAction {
  enum class Kind { kDtc, kTest, kTrimmer };
  Kind kind = Kind::kDtc;
  int test_button = 0;      // kTest: 1..9, the Command1..Command9 of the test window
  std::string custom_code;  // kTest with button 8: the hex digits typed into Text1
  int trimmer = 0;          // kTrimmer: the byte value typed into Text2, 0..254

  bool operator==(const CliAction&) const = default;
};

struct CliOptions {
  std::optional<std::string> device;  // --device PATH
  std::optional<std::string> com;     // --com N, as typed into the "Com" box
  std::optional<EcuFamily> ecu;
  bool no_ecu_data = false;
  bool calibration = false;
  std::optional<std::string> settings;
  bool simulate = false;
  std::optional<uint32_t> seconds_ms;  // --seconds S, in ms
  std::optional<uint64_t> frames;
  std::optional<std::array<bool, kChannelCount>> channels;
  std::optional<std::string> csv;  // "-" is stdout
  std::vector<CliAction> actions;
};

struct GuiOptions {
  bool simulate = false;
  std::optional<EcuFamily> simulate_family;  // --simulate=FAMILY
  std::optional<std::string> device;
  std::optional<std::string> com;
  std::optional<std::string> settings;
};

template <typename Options>
struct ParseResult {
  std::optional<Options> options;  // set when the line was valid
  bool help = false;               // --help / -h: print the usage, exit 0
  std::string error;               // otherwise: one line for stderr
};

// argv[0] is skipped.
ParseResult<CliOptions> ParseCliArgs(const std::vector<std::string>& args);
ParseResult<GuiOptions> ParseGuiArgs(const std::vector<std::string>& args);

// "15m", "15Rc", "16m", "P8" (the captions of the "ECU Type" options, any case).
std::optional<EcuFamily> FamilyFromName(std::string_view name);
// "rpm,inj,..." -> the channel selectors to leave checked; nullopt names the bad entry.
std::optional<std::array<bool, kChannelCount>> ChannelsFromList(std::string_view list,
                                                                std::string* bad_name);

}  // namespace velarin::cli
