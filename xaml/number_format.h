// The one function that turns a number into text.
#pragma once

#include <cstddef>

// Longest text FormatFixed6 writes: sign, 309 integer digits, point, six decimals.
constexpr size_t kFixed6MaxLength = 1 + 309 + 1 + 6;

// Writes the value as the "%f" conversion does in the "C" locale (sign, integer digits, a
// period, six decimals, halfway cases to even) and answers the length; no terminator.
// Numbers that have no such text are given one: NaN is written as 0, and an infinity as
// the largest finite 32-bit real of its sign. `text` must have room for kFixed6MaxLength
// characters: bytes past the answered length may be overwritten.
size_t FormatFixed6(double value, char* text);
