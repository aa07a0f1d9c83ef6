#pragma once
// What the two front ends print themselves: usage, prefixes of the output lines,
// error lines. One definition each.

#include <array>
#include <string_view>

namespace velarin::cli::texts {

inline constexpr std::string_view kCliName = "velarin-cli";
inline constexpr std::string_view kGuiName = "velarin";

inline constexpr std::string_view kCliUsage =
    "usage: velarin-cli [--device PATH | --com N] [--ecu 15m|15Rc|16m|P8] [--no-ecu-data]\n"
    "                   [--calibration] [--settings FILE] [--simulate] [--seconds S]\n"
    "                   [--frames N] [--channels LIST] [--csv FILE|-] [--dtc]\n"
    "                   [--test NAME]... [--trimmer N]\n"
    "  LIST: comma list of rpm, inj, adv, map, air, water, throttle, battery, trimmer\n"
    "  NAME: fuel-pump, injector1, injector2, rev-counter, coil1, coil2, clear-dtc,\n"
    "        reset-tps, custom=HEX (00..FF)\n"
    "  N of --trimmer: the byte value 0..254 (slider position + 127)\n";
inline constexpr std::string_view kGuiUsage =
    "usage: velarin [--simulate[=15m|15Rc|16m|P8]] [--device PATH | --com N] [--settings FILE]\n";
inline constexpr std::string_view kTryHelp = " (try --help)";

// Prefixes of the lines the CLI prints on stdout.
inline constexpr std::string_view kLogPrefix = "log: ";
inline constexpr std::string_view kInfoPrefix = "info: ";
inline constexpr std::string_view kLivePrefix = "live: ";
inline constexpr std::string_view kTestLogPrefix = "test-log: ";
inline constexpr std::string_view kMessagePrefix = "message: ";

// Names of --channels, in channel order (Check1 0..8).
inline constexpr std::array<std::string_view, 9> kChannelNames = {
    "rpm", "inj", "adv", "map", "air", "water", "throttle", "battery", "trimmer"};

// Names of --test, in button order (Command1..Command9); button 8 is "custom=HEX".
inline constexpr std::array<std::string_view, 9> kTestNames = {
    "fuel-pump", "injector1", "injector2", "rev-counter", "coil1",
    "coil2",     "clear-dtc", "custom",    "reset-tps"};
inline constexpr int kCustomTestButton = 8;

inline constexpr std::string_view kCsvHeader =
    "t_ms,rpm,inj_ms,advance_deg,map_mbar,air_c,water_c,throttle,battery_v,trimmer,throttle_v";

inline constexpr std::string_view kDeviceGone = "lost the device ";
inline constexpr std::string_view kCannotWriteCsv = "cannot write ";
inline constexpr std::string_view kSimulatorFailed = "cannot start the simulated ECU: ";
inline constexpr std::string_view kNoDisplay =
    "no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset): running the "
    "command-line front end against the simulated ECU instead";

}  // namespace velarin::cli::texts
