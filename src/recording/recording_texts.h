#pragma once
// What recordings and the chart's file reader say to the user, one definition each.

#include <string_view>

namespace velarin::recording::texts {

// The 15Rc throttle sensor voltage (Text1 element 9) has no selector caption of its own.
inline constexpr std::string_view kThrottleVoltsCaption = "throttle sensor";

// Reading a recording.
inline constexpr std::string_view kCannotOpen = "cannot open ";
inline constexpr std::string_view kNotARecording = "not a Velarin recording: ";
inline constexpr std::string_view kEmptyFile = "the file is empty";
inline constexpr std::string_view kBinaryFile = "the file holds binary data";
inline constexpr std::string_view kWrongHeader = "its first line is not ";
inline constexpr std::string_view kReadFailed = "reading stopped: ";
inline constexpr std::string_view kRows = " rows";
inline constexpr std::string_view kOneRow = "1 row";
inline constexpr std::string_view kNoRows = "the recording holds no rows";
inline constexpr std::string_view kSkipped = " unreadable rows skipped";
inline constexpr std::string_view kOneSkipped = "1 unreadable row skipped";
inline constexpr std::string_view kOnlyFirst = "only the first ";
inline constexpr std::string_view kShown = " are shown";

// Writing a recording.
inline constexpr std::string_view kCannotWrite = "cannot write ";
inline constexpr std::string_view kRecordingStopped = "recording stopped: ";
inline constexpr std::string_view kKept = " kept";
inline constexpr std::string_view kWrittenTo = " in ";
inline constexpr std::string_view kNoRowWritten = "the recording ended with no row: ";

}  // namespace velarin::recording::texts
