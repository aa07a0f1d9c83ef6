#pragma once
// The thirteen lines of the fault and status report, exactly as the log shows
// them (leading and trailing blanks, and the "Crankshat" spelling, included).

#include <string_view>

namespace velarin::fault_texts {

inline constexpr std::string_view kIcvBlocked = "Icv Blocked";
inline constexpr std::string_view kIcvOk = "Icv OK";

inline constexpr std::string_view kMaximumRich = "Maximum rich";
inline constexpr std::string_view kMaximumLean = "Maximum lean";
inline constexpr std::string_view kEnrichmentOk = "Enrichment OK ";

inline constexpr std::string_view kAirTempOpen = "Air temp sensor open circuit ";
inline constexpr std::string_view kAirTempShort = " Air temp sensor Short circuit";
inline constexpr std::string_view kAirTempOk = "Air temp sensor OK ";

inline constexpr std::string_view kKnockPinking = "Knock Pinking";
inline constexpr std::string_view kKnockOk = "Knock OK ";

inline constexpr std::string_view kWaterTempOpen = "water temp sensor Open circuit ";
inline constexpr std::string_view kWaterTempShort = "Water temp sensor Short circuit";
inline constexpr std::string_view kWaterTempOk = "Water temp sensor OK ";

inline constexpr std::string_view kLambdaFaulty = "Lambda sensor Faulty";
inline constexpr std::string_view kLambdaOk = "Lambda sensor OK    ";

inline constexpr std::string_view kMapOpen = "Map sensor Open circuit ";
inline constexpr std::string_view kMapShort = "Map sensor Short circuit";
inline constexpr std::string_view kMapOk = "Map sensor OK ";

inline constexpr std::string_view kThrottleOpen = "Throttle sensor Open circuit ";
inline constexpr std::string_view kThrottleShort = "Throttle sensor Short circuit";
inline constexpr std::string_view kThrottleOk = "Throttle sensor OK ";

inline constexpr std::string_view kCamshaftOpen = "Camshaft sensor Open circuit ";
inline constexpr std::string_view kCamshaftShort = "Camshaft sensor Short circuit";
inline constexpr std::string_view kCamshaftOk = "OK";

inline constexpr std::string_view kEpromFault = "Eprom Fault";
inline constexpr std::string_view kEpromOk = "Eprom OK ";

inline constexpr std::string_view kEepromFault = "EEprom Fault";
inline constexpr std::string_view kEepromOk = "OK";

inline constexpr std::string_view kRamFault = "Ram Fault";
inline constexpr std::string_view kRamOk = "OK  ";

inline constexpr std::string_view kCrankshaftOpen = "Crankshat sensor Open circuit ";
inline constexpr std::string_view kCrankshaftShort = "Crankshaft sensor Short circuit";
inline constexpr std::string_view kCrankshaftOk = "Crankshaft sensor OK";

}  // namespace velarin::fault_texts
