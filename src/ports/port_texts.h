#pragma once
// What the port list says to the user, one definition each.

#include <string_view>

namespace velarin::ports::texts {

inline constexpr std::string_view kNoPorts = "no serial ports found";
inline constexpr std::string_view kNotPresent = "not present";
inline constexpr std::string_view kMaybeUnable7812 = "CP210x: may be unable to run 7812 baud";
// Completed with the chip's name: "cannot run 7812 baud: CP2102 runs 9600 instead".
inline constexpr std::string_view kUnable7812 = "cannot run 7812 baud: ";
inline constexpr std::string_view kRuns9600 = " runs 9600 instead";

inline constexpr std::string_view kComLabel = "Com ";
inline constexpr std::string_view kSerialLabel = "serial ";
inline constexpr std::string_view kDriverLabel = "driver ";

inline constexpr std::string_view kNoUdev =
    "this build cannot list ports: libudev was missing when it was built";
inline constexpr std::string_view kUdevFailed = "cannot reach udev to list the ports";
inline constexpr std::string_view kNoLister = "this system has no port lister";
inline constexpr std::string_view kSetupApiFailed = "SetupAPI cannot list the ports: ";

}  // namespace velarin::ports::texts
