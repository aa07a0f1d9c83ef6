#pragma once
// Reading a typed value as the one byte it must be sent as. Anything that is not
// exactly one byte is refused rather than truncated: the ECU never receives a
// code nobody typed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velarin {

// Hex digits only (blanks and tabs at either end allowed), value 00 to FF;
// leading zeros are fine ("001f"). Empty, negative, non-hex or wider: nullopt.
std::optional<uint8_t> CustomCodeFromText(std::string_view text);

// Decimal digits only (blanks and tabs at either end allowed), value 0 to
// kline::kTrimmerMax (254): 255 would take the ECU out of CO regulation.
std::optional<uint8_t> TrimmerByteFromText(std::string_view text);

// The typed text as it may appear inside one log line: control characters
// become blanks and a long text is cut.
std::string TypedTextForLog(std::string_view text);

}  // namespace velarin
