#pragma once
// What a replay says when the program asks what the capture cannot answer as
// it stands. Each line is said once; "0x3A" and the rates are filled in.

#include <string_view>

namespace velarin::replay_texts {

inline constexpr std::string_view kPrefix = "replay: ";
// "replay: 0x10 not captured at this point; answered as last captured"
inline constexpr std::string_view kAnsweredAsLast =
    " not captured at this point; answered as last captured";
inline constexpr std::string_view kAnsweredAsLater =
    " not captured at this point; answered as captured later";
inline constexpr std::string_view kNeverCaptured = " never captured; no answer";
// "replay: 0x17 sent at 1200 baud, the capture had 7812 in force; not heard"
inline constexpr std::string_view kWrongRateA = " sent at ";
inline constexpr std::string_view kWrongRateB = " baud, the capture had ";
inline constexpr std::string_view kWrongRateC = " in force; not heard";
inline constexpr std::string_view kEndOfCapture =
    "end of the captured session; from here on requests are answered as last captured";
inline constexpr std::string_view kNoSession = "the capture holds no session; the ECU stays silent";
inline constexpr std::string_view kNextSession = "ignition on: playing session ";
inline constexpr std::string_view kOf = " of ";

}  // namespace velarin::replay_texts
