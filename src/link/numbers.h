#pragma once
// The lenient number parse used for every typed value and every "&h" hex text,
// and the round-half-to-even integer conversions.

#include <cstdint>
#include <string>
#include <string_view>

namespace velarin {

// Blanks, tabs and line feeds anywhere are ignored; a carriage return ends the number. "&h"/"&H"
// introduces hex digits; otherwise the longest leading decimal number (sign, digits, one "."
// whatever the locale, exponent) is read. No leading number gives 0.
double NumberFromText(std::string_view text);

// Nearest whole number, halves to even (0.5 -> 0, 1.5 -> 2, 7812.5 -> 7812).
double RoundHalfEven(double value);

// Round half to even into the integer type; false (and *out untouched) when the
// value is not finite or lies outside the type's range.
bool ToInt16(double value, int16_t* out);
bool ToInt32(double value, int32_t* out);

// Shortest text that reads back as the same double, "." as separator (12.5, -3, 2.468).
std::string ShortestText(double value);

}  // namespace velarin
