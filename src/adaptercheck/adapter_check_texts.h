#pragma once
// Every text the adapter check shows; numbers and bytes are filled in where a
// text ends or between its parts.

#include <string_view>

namespace velarin::adapter_check_texts {

// The window asks before it starts; the CLI's option is the user's word for it.
inline constexpr std::string_view kConfirm =
    "Switch the ignition off before the adapter check: it sends test bytes that an ECU "
    "must not hear. Is the ignition off?";

inline constexpr std::string_view kIntroA = "Adapter check, with the ignition off. Probe bytes ";
inline constexpr std::string_view kIntroB =
    ": no ECU of the four families takes them as a request.";

inline constexpr std::string_view kTagOk = "[ ok ] ";
inline constexpr std::string_view kTagWarn = "[warn] ";
inline constexpr std::string_view kTagFail = "[FAIL] ";
inline constexpr std::string_view kHintIndent = "       ";
inline constexpr std::string_view kLabelSeparator = ": ";

inline constexpr std::string_view kLabelPort = "Port";
inline constexpr std::string_view kLabelQuiet = "Line quiet";
inline constexpr std::string_view kLabelEcho = "Adapter echoes";
inline constexpr std::string_view kLabelDelay1200 = "Echo delay at 1200 baud";
inline constexpr std::string_view kLabelLineSpeed = "Line speed read back after setting 7812";
inline constexpr std::string_view kLabelDelay7812 = "Echo delay at 7812 baud";
inline constexpr std::string_view kLabelLowLatency = "Driver's low-latency mode";
inline constexpr std::string_view kLabelLostAltered = "Bytes lost or altered";

// Values.
inline constexpr std::string_view kQuietA = "nothing arrived in ";
inline constexpr std::string_view kMs = " ms";
inline constexpr std::string_view kEchoYesA = "yes, ";
inline constexpr std::string_view kOf = " of ";
inline constexpr std::string_view kEchoYesB = " bytes came back";
inline constexpr std::string_view kEchoNoA = "no, none of the ";
inline constexpr std::string_view kEchoNoB = " bytes sent came back";
inline constexpr std::string_view kMedian = "median ";
inline constexpr std::string_view kWorst = " ms, worst ";
inline constexpr std::string_view kOver = " ms over ";
inline constexpr std::string_view kByteTakes = " bytes (a byte takes ";
inline constexpr std::string_view kByteTakesEnd = " ms on the wire)";
inline constexpr std::string_view kNoEchoToTime = "not measured (no echo)";
inline constexpr std::string_view kRateNotSet = "not measured (the driver refused 7812 baud)";
inline constexpr std::string_view kBaud = " baud";
inline constexpr std::string_view kRateUnread = "the driver does not report it";
inline constexpr std::string_view kRateRefused = "refused: ";
inline constexpr std::string_view kLatencyOn = "on";
inline constexpr std::string_view kLatencyOff = "off";
inline constexpr std::string_view kLatencyUnknown = "not reported by the driver";
inline constexpr std::string_view kLatencyTimerA = " (latency timer ";
inline constexpr std::string_view kLatencyTimerB = " ms)";
inline constexpr std::string_view kLatencyFastEcho = "; the echoes come quickly";
inline constexpr std::string_view kNoneLostA = "none of ";
inline constexpr std::string_view kBytes = " bytes";
inline constexpr std::string_view kLost = " lost, ";
inline constexpr std::string_view kAltered = " altered of ";

// Hints.
inline constexpr std::string_view kHintPort =
    "hint: check the device name, that the adapter is plugged in and that no other program "
    "uses the port.";
inline constexpr std::string_view kHintNoEcho =
    "hint: plug the adapter into the bike's diagnostic connector (its K-line side takes 12 V "
    "from the battery) and check the plugs. An adapter that does not echo cannot be used: "
    "every answer is read behind the echo of its request.";
inline constexpr std::string_view kHintSlowEcho =
    "hint: the driver holds received bytes back, so every request waits that much longer; "
    "turn on its low-latency mode (see below).";
inline constexpr std::string_view kHintRateFarA = "hint: the adapter runs at ";
inline constexpr std::string_view kHintRateFarB =
    " baud instead of 7812, where the ECU cannot hear it. Use an adapter whose chip runs "
    "7812 baud (FTDI FT232R or FT-X, CH340, CP2104); CP2101 to CP2103 cannot.";
inline constexpr std::string_view kHintRateUnread =
    "hint: the driver took 7812 but does not say what it runs at; if the ECU never answers, "
    "the adapter cannot run 7812 baud.";
inline constexpr std::string_view kHintRateRefused =
    "hint: the driver refused 7812 baud: this adapter cannot run the K-line's rate.";
inline constexpr std::string_view kHintLowLatencyA =
    "hint: turn it on. On Linux the program asks for it at every open; where the driver does "
    "not keep it, as root: echo 1 > /sys/bus/usb-serial/devices/";
inline constexpr std::string_view kHintLowLatencyB = "/latency_timer (or: setserial /dev/";
inline constexpr std::string_view kHintLowLatencyC =
    " low_latency). On Windows: Device Manager, the adapter's port, Port Settings, Advanced, "
    "Latency Timer 1 ms.";
inline constexpr std::string_view kUnknownTty = "ttyUSB0";
inline constexpr std::string_view kHintLostAltered =
    "hint: bytes go missing or change on their way: check the plugs and the cable, keep the "
    "adapter away from the ignition leads, and check the bike's battery.";

// Endings.
inline constexpr std::string_view kStopUnexpectedA =
    "Stopped: bytes arrived that are not the echo of ";
inline constexpr std::string_view kStopUnexpectedB =
    "): an ECU is on and answering. Switch the ignition off and run the check again.";
inline constexpr std::string_view kStopQuietA = "Stopped: bytes arrived while nothing was sent (";
inline constexpr std::string_view kStopQuietB =
    "): an ECU is on and talking. Switch the ignition off and run the check again.";
inline constexpr std::string_view kStopPort = "Stopped: the port failed: ";
inline constexpr std::string_view kResultOk = "Result: the adapter is fit for the K-line.";
inline constexpr std::string_view kResultWarn =
    "Result: the adapter works, but see the warnings above.";
inline constexpr std::string_view kResultFail =
    "Result: the adapter is not fit for the K-line; see the failures above.";

}  // namespace velarin::adapter_check_texts
