#pragma once
// The text forms of the readouts. Every form works on the shortest decimal text
// of the double (the digits that read back as the same value), so a result such
// as 30.006 is rounded as the decimal 30.006 and never as its binary neighbour.
// Rounding of the fixed-decimal forms is half away from zero.

#include <string>
#include <string_view>

namespace velarin {

// The decimal separator of the readouts: process-wide, "." by default or
// whatever localeconv() reports while no one has set it. Thread-safe.
void SetDecimalSeparator(std::string_view separator);
// Back to following localeconv().
void ResetDecimalSeparator();
std::string DecimalSeparator();

// Shortest decimal text (12.5, -3, 2.468, 15000000); exponent form only
// outside 1e-5 .. 1e15.
std::string PlainText(double value);
// Truncated toward zero, then as PlainText.
std::string WholeNumberText(double value);
// "##.##": at most two decimals, no leading zero, separator always written
// (0.5 -> ".5", 12 -> "12.", 30.006 -> "30.01").
std::string TwoDecimalsText(double value);
// "0.00": at least one integer digit, exactly two decimals.
std::string FixedTwoDecimalsText(double value);
// "0.#": at least one integer digit, at most one decimal, separator always written.
std::string OneDecimalText(double value);

}  // namespace velarin
