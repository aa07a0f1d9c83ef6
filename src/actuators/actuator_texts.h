#pragma once
// Texts the test window writes to its log and shows, exactly as the user sees them.

#include <string_view>

namespace velarin::actuator_texts {

inline constexpr std::string_view kEnterDiagnosticOk = "Enter in diagnostic mode OK";
inline constexpr std::string_view kDiagnosticFailed = "diagnostic mode failed";  // message box
inline constexpr std::string_view kExitDiagnosticOk = "Exit diagnostic mode OK";

inline constexpr std::string_view kTestFinish = "Test finish";
inline constexpr std::string_view kTestFailed = "Test failed";
inline constexpr std::string_view kTestUnknown = "Test unknown";

inline constexpr std::string_view kEnterCoOk = "Enter CO Regulation OK";
inline constexpr std::string_view kExitCoOk = "Exit CO Regulation OK";
inline constexpr std::string_view kTrimmerSetTo = "trimmer set to:";

// Names of the tests in the log.
inline constexpr std::string_view kFuelPump = "Fuel pump";
inline constexpr std::string_view kInjector1 = "Injector1";
inline constexpr std::string_view kInjector2 = "Injector2";
inline constexpr std::string_view kRevCounterA = "Rev counter";
inline constexpr std::string_view kRevCounterB = "rev counter";
inline constexpr std::string_view kCoil1 = "Coil1";
inline constexpr std::string_view kCoil2 = "Coil2";
inline constexpr std::string_view kClearDtc = "Clear DTC";
inline constexpr std::string_view kCustomCode = "Custom code ";  // followed by the typed text
inline constexpr std::string_view kResetTps = "Reset TPS";

// Refusals of typed values that are not one byte: prefix + typed text + suffix.
inline constexpr std::string_view kCustomCodeRefused = "Custom code not sent: \"";
inline constexpr std::string_view kCustomCodeRefusedWhy = "\" is not one byte (hex 00 to FF)";
inline constexpr std::string_view kTrimmerRefused = "Trimmer not sent: \"";
inline constexpr std::string_view kTrimmerRefusedWhy = "\" is not a whole number from 0 to 254";

}  // namespace velarin::actuator_texts
