#pragma once
// The texts a serial back end leaves in LastError(), one definition each, and
// the composition of an open failure's text from the OS reason and a hint.

#include <string>
#include <string_view>

namespace velarin::serial_texts {

inline constexpr std::string_view kPermissionHint =
    "Permission denied — is the user in group dialout?";
inline constexpr std::string_view kInUse = "in use by another program";
inline constexpr std::string_view kNoSuchDevice = "no such device";
inline constexpr std::string_view kNotASerialPort = "not a serial port";
inline constexpr std::string_view kWentAway = " went away (adapter unplugged?)";
inline constexpr std::string_view kNotOpen = "The port is not open";
inline constexpr std::string_view kInvalidBaud = "Invalid baud rate ";
inline constexpr std::string_view kWriteTimedOut = "The port did not take the byte in time";

}  // namespace velarin::serial_texts

namespace velarin {

// Why the port at `path` could not be opened, always "<path>: <reason>": "in use by
// another program", "no such device", "Permission denied — ...", "not a serial port",
// or the OS reason for anything else.
enum class OpenFailure { kInUse, kNoSuchDevice, kPermission, kNotASerialPort, kOther };
std::string OpenErrorText(OpenFailure kind, const std::string& path, std::string_view os_reason);

// "<path> went away (adapter unplugged?)".
std::string WentAwayText(const std::string& path);

}  // namespace velarin
