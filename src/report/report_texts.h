#pragma once
// Texts of the service report and of its messages, exactly as the reader sees them.

#include <string_view>

namespace velarin::report_texts {

inline constexpr std::string_view kTitle = "Service report";
inline constexpr std::string_view kDate = "Date";
inline constexpr std::string_view kProgram = "Program";
inline constexpr std::string_view kFamily = "ECU family";
inline constexpr std::string_view kIsoCode = "ISO code";
inline constexpr std::string_view kIdentification = "Identification";
inline constexpr std::string_view kCalibration = "Calibration";
inline constexpr std::string_view kNotRead = "not read";

inline constexpr std::string_view kFaultsHeading = "Fault report";
inline constexpr std::string_view kNoFaultRead = "No fault report was read in this session.";
inline constexpr std::string_view kOneFaultRead =
    "One fault report was read in this session; there is no later read to compare it with.";
inline constexpr std::string_view kFaultReads = "Fault reports read: ";
inline constexpr std::string_view kFaultUnanswered = ", without an answer from the ECU: ";
inline constexpr std::string_view kBefore = "Before (first read)";
inline constexpr std::string_view kAfter = "After (last read)";
inline constexpr std::string_view kReport = "Report";
inline constexpr std::string_view kChanged = "changed";
inline constexpr std::string_view kChangedColumn = "Changed";
inline constexpr std::string_view kClearsBetween = "\"Clear DTC errors\" between the two reads: ";
inline constexpr std::string_view kNone = "none";
inline constexpr std::string_view kNothingChanged = "No line of the report changed.";
inline constexpr std::string_view kLinesChanged = "Lines that changed: ";

inline constexpr std::string_view kTestsHeading = "Actuator tests";
inline constexpr std::string_view kNoTests = "No actuator test was run in this session.";
inline constexpr std::string_view kTest = "Test";
inline constexpr std::string_view kLogName = "Logged as";
inline constexpr std::string_view kEcuAnswer = "ECU answer";
inline constexpr std::string_view kVerdict = "Verdict";

inline constexpr std::string_view kTrimmerHeading = "Trimmer journal";
inline constexpr std::string_view kNoTrimmer = "The CO trimmer was not touched in this session.";
inline constexpr std::string_view kStep = "Step";
inline constexpr std::string_view kSent = "Sent";
inline constexpr std::string_view kResult = "Result";
inline constexpr std::string_view kCoOnStep = "CO regulation on";
inline constexpr std::string_view kTrimmerStep = "Trimmer";
inline constexpr std::string_view kCoOffStep = "CO regulation off";
inline constexpr std::string_view kTrimmerPosition =
    " (trimmer ";  // byte value + this + position + ")"

inline constexpr std::string_view kLiveHeading = "Last live readouts";
inline constexpr std::string_view kNoLive = "No live data was read in this session.";
inline constexpr std::string_view kLiveReads = "Live-data reads in this session: ";
inline constexpr std::string_view kChannel = "Channel";
inline constexpr std::string_view kValue = "Value";
inline constexpr std::string_view kUnit = "Unit";
inline constexpr std::string_view kThrottleVolts = "throttle sensor";
inline constexpr std::string_view kNotPolled = "not polled";

// Outcomes of a step that the log does not spell out.
inline constexpr std::string_view kNotSent = "not sent (port closed)";
inline constexpr std::string_view kNoAnswer = "no answer from the ECU";
inline constexpr std::string_view kNoVerdict = "no verdict (the test window closed first)";
inline constexpr std::string_view kNotConfirmed = "not confirmed by the ECU";

// "and N more, not listed" under a list that reached its cap.
inline constexpr std::string_view kMoreNotListed = " more, not listed (the report keeps the first ";

inline constexpr std::string_view kFooter = "Made with ";

// Messages of the window and the command line.
inline constexpr std::string_view kWritten = "Service report written: ";
inline constexpr std::string_view kNotWritten = "Service report not written: ";
inline constexpr std::string_view kMenuServiceReport = "Service report...";
inline constexpr std::string_view kSaveFilter = "HTML files (*.html *.htm)";
inline constexpr std::string_view kDefaultName = "service-report.html";

}  // namespace velarin::report_texts
