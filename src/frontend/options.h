#pragma once
// The command lines of the three programs: one table of options (name, value,
// help, which programs take it) and one parser over it. Every program accepts
// "--name VALUE" and "--name=VALUE" alike, reports a bad line in one style
// ("PROGRAM: what is wrong (try --help)") and prints a usage made from the table.

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form2.h"
#include "protocol/families.h"

namespace velarin::frontend {

// Exit codes of the programs.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDevice = 1;  // the port could not be opened or went away
inline constexpr int kExitUsage = 2;
inline constexpr int kExitAdapterUnfit = 3;  // --check-adapter: not fit, or an ECU answered

enum class Program : unsigned {
  kWindow = 1u << 0,  // velarin
  kCli = 1u << 1,     // velarin-cli
  kEcuSim = 1u << 2,  // velarin-ecusim
};
std::string_view ProgramName(Program program);

// One step the CLI performs once the first live-data read is in, in command-line order.
struct CliAction {
  enum class Kind { kDtc, kTest, kTrimmer };
  Kind kind = Kind::kDtc;
  int test_button = 0;      // kTest: 1..9, the Command1..Command9 of the test window
  std::string custom_code;  // kTest with button 8: the hex digits typed into Text1
  int trimmer = 0;          // kTrimmer: the byte value typed into Text2, 0..254

  bool operator==(const CliAction&) const = default;
};

// Everything a command line can say; each program reads the options it takes.
struct Options {
  // The port and the main window (velarin, velarin-cli).
  std::optional<std::string> device;  // --device PATH
  std::optional<std::string> com;     // --com N, as typed into the "Com" box
  std::optional<std::string> settings;
  std::optional<EcuFamily> ecu;  // --ecu FAMILY, or velarin's --simulate=FAMILY
  bool simulate = false;
  bool version = false;  // --version: print it and exit (every program)
  // The capture a simulated ECU plays back: --replay FILE, velarin's --simulate=FILE.
  std::optional<std::string> replay;
  std::optional<std::string> capture;  // --capture FILE
  // velarin-cli.
  bool list_ports = false;  // --list-ports: print the serial ports and exit
  bool no_ecu_data = false;
  bool calibration = false;
  std::optional<uint32_t> seconds_ms;  // --seconds S, in ms (velarin-ecusim too)
  std::optional<uint64_t> frames;
  std::optional<std::array<bool, kChannelCount>> channels;
  std::optional<std::string> csv;  // "-" is stdout
  std::optional<std::string> service_report;
  std::vector<CliAction> actions;
  bool check_adapter = false;
  // velarin-ecusim.
  std::optional<std::string> link;
  std::optional<uint32_t> ignition_delay_ms;
  std::optional<uint32_t> answer_latency_ms;  // after the request's echo, before the answer
  bool no_echo = false;
  std::optional<std::vector<uint8_t>> burst;

  bool operator==(const Options&) const = default;
};

enum class ValueForm {
  kNone,      // a switch
  kRequired,  // --name VALUE or --name=VALUE
  kGlued,     // optional, and only as --name=VALUE
};

struct OptionRow {
  std::string_view name;   // "--device"
  std::string_view value;  // what the usage calls the value ("PATH"); empty for a switch
  ValueForm form;
  unsigned programs;  // Program bits
  bool repeatable;    // may be given more than once
  // One line of the usage; {families}, {channels}, {tests} and {trimmer} name what they list.
  std::string_view help;
  // Stores the value (nullopt for a switch or an absent glued value). Returns what
  // is wrong, to follow the option's name ("'P9': none of ...", "needs a path"), or "".
  std::string (*apply)(Options& options, std::optional<std::string_view> value);
};

// The options of all three programs, in the order the usages list them.
const std::vector<OptionRow>& OptionTable();

struct ParseResult {
  std::optional<Options> options;  // set when the line was valid
  bool help = false;               // --help / -h: print the usage, exit 0
  std::string error;               // otherwise: one line for stderr
};

// argv[0] is skipped. The first fault ends the parse; --help before it wins.
ParseResult ParseArgs(Program program, const std::vector<std::string>& args);

// "usage: PROGRAM [OPTION]...", then one line per option the program takes.
std::string Usage(Program program);

// --help prints the usage and --version "PROGRAM VERSION" on `out` and give kExitOk;
// a bad line prints its error line on `err` and gives kExitUsage; nullopt when the program goes on.
std::optional<int> ExitBeforeRunning(Program program, const ParseResult& parsed, std::ostream& out,
                                     std::ostream& err);

// "rpm,inj,..." -> the channel selectors to leave checked; nullopt names the bad entry.
std::optional<std::array<bool, kChannelCount>> ChannelsFromList(std::string_view list,
                                                                std::string* bad_name);

}  // namespace velarin::frontend
