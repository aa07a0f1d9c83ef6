#pragma once
// Captions of the two windows, one definition each (the family options take
// theirs from the family table).

#include <array>
#include <string_view>

namespace velarin::captions {

inline constexpr std::string_view kProgramTitle = "Velarin";  // title of its message boxes
inline constexpr std::string_view kMainTitle = "Velarin 15m  / 16m  /  P8  ECU";
inline constexpr std::string_view kMainCredit = "  -  Velarin workshop edition";
inline constexpr std::string_view kComPortFrame = "Com Port";
inline constexpr std::string_view kCom = "Com";
inline constexpr std::string_view kConnect = "Connect";
inline constexpr std::string_view kDisconnect = "Disconnect";
inline constexpr std::string_view kEcuInfoFrame = "ECU Info";
inline constexpr std::string_view kEcuTypeFrame = "ECU Type";
inline constexpr std::string_view kScaleOne = "1";
inline constexpr std::string_view kEcuData = "Ecu data";
inline constexpr std::string_view kCalibration = "Calibration";
inline constexpr std::string_view kEcuInfoButton = "ecu info";
inline constexpr std::string_view kCalibrationButton = "calibration";
inline constexpr std::string_view kDtc = "DTC";
inline constexpr std::string_view kTestsMenu = "Tests";
inline constexpr std::string_view kPause = "pause";
inline constexpr std::string_view kPauseDefault = "5";
inline constexpr std::string_view kInterByteDelay = "inter byte delay";
inline constexpr std::string_view kInterByteDelayDefault = "10";
inline constexpr std::string_view kComDefault = "1";
inline constexpr std::string_view kWaitForIgnition = "Wait for ignition..";
inline constexpr std::string_view kVolt = "V";
inline constexpr std::string_view kBarScale =
    "0   1    2   3    4    5   6   7    8   9   10  11  12";
inline constexpr std::string_view kDonationTooltip =
    "Velarin is free. If it saved you an afternoon, buy the developers a coffee.";
inline constexpr std::string_view kDonationUrl = "https://velarin.example.org/donate";

inline constexpr std::array<std::string_view, 9> kChannels = {
    "rpm",        "inj duration", "ign advance", "manifold pressure", "air temp",
    "water temp", "throttle",     "battery",     "trimmer value"};
inline constexpr std::array<std::string_view, 9> kUnits = {"tr/m", "ms", "°", "mBar", "°",
                                                           "°",    "°",  "V", ""};

// Test window.
inline constexpr std::string_view kTestTitle = "Test";
inline constexpr std::array<std::string_view, 9> kTestButtons = {
    "Fuel pump", "Injector 1",       "Injector 2",  "Rev counter",   "Coil 1",
    "Coil 2",    "Clear DTC errors", "Custom code", "Reset TPS 15RC"};
inline constexpr std::string_view kOk = "Ok";
inline constexpr std::string_view kOn = "On";
inline constexpr std::string_view kOff = "Off";
inline constexpr std::string_view kBack = "Back";
inline constexpr std::string_view kCoFrame = "CO regulation";
inline constexpr std::string_view kCustomCodeDefault = "00";

}  // namespace velarin::captions
