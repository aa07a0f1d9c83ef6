#pragma once
// What the programs say about their tools: the capture's status line, the
// replay's and the adapter check's messages. One definition each.

#include <string_view>

namespace velarin::frontend::tools_texts {

// Capture status lines; the path follows.
inline constexpr std::string_view kCapturingTo = "capturing to ";
inline constexpr std::string_view kCaptureSaved = "capture saved: ";
inline constexpr std::string_view kMadeByKey = "made-by";

// velarin-cli's and velarin's error line when a capture cannot be replayed.
inline constexpr std::string_view kCannotReplay = "cannot replay the capture: ";

// The adapter check refused while the port is in use by a connection.
inline constexpr std::string_view kCheckWhileConnected =
    "The adapter check cannot run while connected: press \"Disconnect\", switch the ignition "
    "off, and start it again.";
inline constexpr std::string_view kCheckRunning = "Adapter check running (about 5 seconds)...";

}  // namespace velarin::frontend::tools_texts
