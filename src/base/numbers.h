// SPDX-License-Identifier: GPL-3.0-or-later
// How numbers that arrive as text are read, and how values become whole numbers.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvani::base {

// The lenient reading used for every number that arrives as text (the board's arguments,
// text boxes, the settings file). Blanks, tabs and line feeds are skipped wherever they
// are; the longest leading decimal number (sign, digits, one ".", exponent) is read and the
// rest ignored; no leading number reads as 0. "&H" starts a hexadecimal number, with four
// or fewer digits a 16-bit signed one (&HFFFF is -1), with five to eight a 32-bit one.
double LenientNumber(std::string_view text);

// Nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
inline double RoundHalfEven(double value) {
  return std::nearbyint(value);
}

// RoundHalfEven as a 32-bit integer, saturating at the ends of the range.
std::int32_t WholeNumber(double value);

// True when the value, rounded half-even, fits a 16-bit signed integer.
bool FitsInt16(double value);
// The value rounded half-even as a 16-bit integer; std::out_of_range (naming `what`) when it
// does not fit, which abandons a board message.
std::int16_t ToInt16(double value, const char* what);

// A whole number typed or given as an option: digits only (blanks around allowed), from
// `lowest` to `highest`; empty otherwise.
std::optional<std::int64_t> StrictWholeNumber(std::string_view text, std::int64_t lowest,
                                              std::int64_t highest);

}  // namespace korvani::base
