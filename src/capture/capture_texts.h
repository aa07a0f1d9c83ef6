#pragma once
// Every text the capture shows a user: the status line of a stopped capture and
// the reader's messages. A reader message is prefixed "line N: " by the reader
// and "<path>: " by ReadCaptureFile.

#include <string_view>

namespace velarin::capture_texts {

// The status line once writing failed; the reason (the OS's words) follows.
inline constexpr std::string_view kStopped = "capture stopped: ";
inline constexpr std::string_view kCannotCreate = "cannot create the capture: ";

// Reading.
inline constexpr std::string_view kCannotRead = "cannot read the capture: ";
inline constexpr std::string_view kTooLarge = "larger than any capture (more than 256 MiB)";
inline constexpr std::string_view kEmpty = "the file is empty";
inline constexpr std::string_view kNotACapture =
    "not a velarin capture (the first line is not \"velarin-capture <version>\")";
inline constexpr std::string_view kBadVersion = "the format version is not a number: ";
// "... version 2 is newer than this program reads (version 1): use a newer velarin"
inline constexpr std::string_view kNewerVersionA = "the capture has format version ";
inline constexpr std::string_view kNewerVersionB = ", newer than this program reads (version ";
inline constexpr std::string_view kNewerVersionC = "): use a newer velarin";
inline constexpr std::string_view kNotTextA = "byte 0x";
inline constexpr std::string_view kNotTextB = " at offset 0x";
inline constexpr std::string_view kNotTextC =
    " is not text: the file is corrupted or not a capture";
inline constexpr std::string_view kLineTooLong = "the line is longer than any row can be";
inline constexpr std::string_view kEmptyLine = "empty line";
inline constexpr std::string_view kTruncatedRow =
    "the file ends in the middle of this row: the capture is truncated";
inline constexpr std::string_view kNoEndRow =
    "the capture ends without its end row \"E\": it is truncated";
// A capture read although cut short: appended to the reason it would be refused.
inline constexpr std::string_view kReadCutShort = "; the rows before it are replayed";
inline constexpr std::string_view kRowAfterEnd = "a row after the end row \"E\"";
inline constexpr std::string_view kBadNote = "a note needs a key: \"= key value\"";
inline constexpr std::string_view kBadDelta =
    "a row starts with the microseconds since the previous row, then one blank";
inline constexpr std::string_view kTimeOverflow = "the time runs past any session";
inline constexpr std::string_view kUnknownCode = "unknown row code: ";
inline constexpr std::string_view kBadSent = "\">\" takes one byte as two hex digits";
inline constexpr std::string_view kBadReceived =
    "\"<\" takes 1 to 256 bytes as pairs of hex digits";
inline constexpr std::string_view kBadOpen = "\"O\" takes the rate (or \"?\") and the device path";
inline constexpr std::string_view kBadRate =
    "\"B\" takes the rate asked and the rate reported (a number, \"?\" or \"refused\")";
inline constexpr std::string_view kExtraText = "unexpected text after the row: ";
inline constexpr std::string_view kPortClosed = "a row of an open port while the port is closed";

}  // namespace velarin::capture_texts
