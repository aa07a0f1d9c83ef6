#pragma once
// Log and display texts of the wake-up, exactly as the program writes them.

#include <string_view>

namespace velarin::texts {

inline constexpr std::string_view k15RcSkip = "initial => 15rc ecu, skip isocode ";
inline constexpr std::string_view kIso = "iso: ";
inline constexpr std::string_view kRx = "RX=> ";
inline constexpr std::string_view kBuff = "buff= ";
inline constexpr std::string_view kLbuff = "  Lbuff= ";
inline constexpr std::string_view kIsoCode = "Iso Code    : ";
inline constexpr std::string_view kIsoCodeOk = "Iso code OK";
inline constexpr std::string_view kTx0F = "Tx => 0x0F";
inline constexpr std::string_view kTxAA = "Tx => 0xAA";
inline constexpr std::string_view kTxCC = "Tx => 0xCC";
inline constexpr std::string_view kInitSuccessful = "init successfull";
inline constexpr std::string_view k7812 = "7812";
inline constexpr std::string_view k1200bds = "1200bds";
inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace velarin::texts
