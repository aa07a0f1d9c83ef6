#pragma once
// The system's single-byte character set, Windows-1252: the ECU's identification
// and calibration answers are characters of it, one byte each, and the logs and
// the "ECU Info" box hold those bytes unchanged. Only what shows them to a person
// (the window, the CLI's UTF-8 output) converts, through this one mapping.

#include <cstdint>
#include <optional>

namespace velarin {

// The character of `byte`. The five codes Windows-1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) give the C1 control of the same number, as Windows does.
char32_t CodePointOfByte(uint8_t byte);

// The byte of a character; nullopt when the character set has none for it.
std::optional<uint8_t> ByteOfCodePoint(char32_t code_point);

}  // namespace velarin
