#pragma once
// Log, display and settings texts of the connection, exactly as the program writes them.

#include <string_view>

namespace velarin::texts {

// Polling tick.
inline constexpr std::string_view kCallInitial = "init = false => call initial ";

// Identification reads.
inline constexpr std::string_view kAskEcuInfo = "ask ecu info... ";
inline constexpr std::string_view kEcuInfoLog = "Ecu info: ";
inline constexpr std::string_view kEcuDataBox = "ecu data    : ";
inline constexpr std::string_view kAskCalibration = "ask ecu calibration... ";
inline constexpr std::string_view kCalLog = "Cal: ";
inline constexpr std::string_view kCalibrationBox = "calibration : ";

// Settings file.
inline constexpr std::string_view kSectionHardware = "Hardware";
inline constexpr std::string_view kKeyCom = "Com";
inline constexpr std::string_view kKeyEcu = "Ecu";
// The window's own keys: the adapter chosen in its drop-down (what names it across
// plug-ins, beside "Com" which keeps the number) and the folder recordings go to.
inline constexpr std::string_view kKeyAdapter = "Adapter";
inline constexpr std::string_view kSectionRecording = "Recording";
inline constexpr std::string_view kKeyRecordFolder = "Folder";

// Status bar (this program's own, not a control of the original window).
inline constexpr std::string_view kStatusPortOpen = "Port open: ";
inline constexpr std::string_view kStatusCannotOpen = "Cannot open ";
inline constexpr std::string_view kStatusNoPortNumbered = "No serial port has the number ";
inline constexpr std::string_view kStatusLinkLost = "Connection lost: ";

}  // namespace velarin::texts
