#pragma once
// What the programs print themselves besides their usage (made from the option
// table): prefixes of the output lines, error lines, the names they take. One
// definition each.

#include <array>
#include <string_view>

namespace velarin::frontend::texts {

inline constexpr std::string_view kCliName = "velarin-cli";
inline constexpr std::string_view kGuiName = "velarin";
inline constexpr std::string_view kEcuSimName = "velarin-ecusim";

inline constexpr std::string_view kTryHelp = " (try --help)";

// Prefixes of the lines the CLI prints on stdout.
inline constexpr std::string_view kLogPrefix = "log: ";
inline constexpr std::string_view kInfoPrefix = "info: ";
inline constexpr std::string_view kLivePrefix = "live: ";
inline constexpr std::string_view kTestLogPrefix = "test-log: ";
inline constexpr std::string_view kMessagePrefix = "message: ";
inline constexpr std::string_view kReportPrefix = "report: ";

// Names of --channels, in channel order (Check1 0..8).
inline constexpr std::array<std::string_view, 9> kChannelNames = {
    "rpm", "inj", "adv", "map", "air", "water", "throttle", "battery", "trimmer"};

// Names of --test, in button order (Command1..Command9); button 8 is "custom=HEX".
inline constexpr std::array<std::string_view, 9> kTestNames = {
    "fuel-pump", "injector1", "injector2", "rev-counter", "coil1",
    "coil2",     "clear-dtc", "custom",    "reset-tps"};
inline constexpr int kCustomTestButton = 8;

inline constexpr std::string_view kDeviceGone = "lost the device ";
inline constexpr std::string_view kCannotWriteCsv = "cannot write ";
inline constexpr std::string_view kSimulatorFailed = "cannot start the simulated ECU: ";
inline constexpr std::string_view kNoDisplay =
    "no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset): running the "
    "command-line front end against the simulated ECU instead";

}  // namespace velarin::frontend::texts
