// Reading a total from free text and writing a value in general number form.
// Pure functions: the decimal separator is an argument, the C locale is never consulted.
#pragma once

#include <string>
#include <string_view>

namespace levels {

// The numeric-prefix rule: blanks, tabs and line feeds are skipped wherever
// they stand; then an optional sign, digits with at most one ".", and an
// optional exponent ("E"/"e", optional sign, digits). Reading stops at the
// first character that cannot continue the number. Text without a number
// reads 0. A magnitude beyond the double range reads as the largest finite
// double of its sign; one below it reads as zero. Linear in the text's length.
[[nodiscard]] double readTotal(std::string_view text);

// At most 15 significant digits, no blank, no thousands separators, no
// trailing zeros; a leading "0" before the separator below 1. Magnitudes
// below 1e-5 or from 1e15 up are written as mantissa and "E+nn"/"E-nn".
[[nodiscard]] std::string generalNumberForm(double value, std::string_view decimalSeparator);

} // namespace levels
