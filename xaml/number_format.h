// The one function that turns a number into text. Its common case is inline: an export
// writes millions of numbers, and the call would cost a good part of each.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Longest text FormatFixed6 writes: sign, 309 integer digits, point, six decimals.
constexpr size_t kFixed6MaxLength = 1 + 309 + 1 + 6;

namespace fixed6 {

static_assert(std::endian::native == std::endian::little, "digit groups are stored as little-endian words");

// The four decimal digits, leading zeros kept, of every number below 10000, as words whose
// low byte is the first digit: one load replaces four divisions.
extern const std::array<uint32_t, 10000> kDigitGroups;

// Below this magnitude the scaled value is under 2^52, where adding 2^52 leaves a spacing of
// exactly 1 between doubles, and the integer part fits 32 bits.
constexpr double kFastPathLimit = 4.0e9;
constexpr double kTwoTo52 = 4503599627370496.0;
constexpr uint64_t kLow52Bits = (uint64_t{1} << 52) - 1;

// Integer parts of 10000 and more.
char* WriteLongInteger(uint32_t value, char* text);
// Values that are not 32-bit reals, very large ones, NaN and the infinities.
size_t FormatRare(double value, char* text);

// Writes the integer part without leading zeros and answers the end. The digits are built in
// a word whose low bytes are the leading zeros; shifting them out leaves the digits at the
// start, and the whole word is stored (the bytes past the end are spare room).
inline char* WriteInteger(uint32_t value, char* text) {
    if (value >= 10000) return WriteLongInteger(value, text);
    const int count = 1 + (value >= 10) + (value >= 100) + (value >= 1000);
    const uint32_t digits = kDigitGroups[value] >> (8 * (4 - count));
    std::memcpy(text, &digits, 4);
    return text + count;
}

// Writes "." and the six decimals of `fraction` (below 10^6); answers the end.
inline char* WriteDecimals(uint32_t fraction, char* text) {
    const uint32_t firstFour = fraction / 100;
    const uint32_t lastTwo = fraction - firstFour * 100;
    // ".", the four digits of firstFour, then the last two of lastTwo's group; byte 7 is spare.
    const uint64_t decimals = '.' | (uint64_t{kDigitGroups[firstFour]} << 8) | (uint64_t{kDigitGroups[lastTwo] >> 16} << 40);
    std::memcpy(text, &decimals, 8);
    return text + 7;
}

}  // namespace fixed6

// Writes the value as the "%f" conversion does in the "C" locale (sign, integer digits, a
// period, six decimals, halfway cases to even) and answers the length; no terminator.
// Numbers that have no such text are given one: NaN is written as 0, and an infinity as
// the largest finite 32-bit real of its sign. `text` must have room for kFixed6MaxLength
// characters: bytes past the answered length may be overwritten.
inline size_t FormatFixed6(double value, char* text) {
    using namespace fixed6;
    const double magnitude = std::fabs(value);
    // For a 32-bit real, value * 10^6 is exact in double precision (24 + 14 significant
    // bits), so rounding it to an integer, halfway cases to even as "%f" does, gives all the
    // digits at once. NaN fails the comparison and infinities the limit.
    if (magnitude < kFastPathLimit && static_cast<double>(static_cast<float>(value)) == value) {
        char* end = text;
        *end = '-';
        end += std::signbit(value) ? 1 : 0;
        // Adding 2^52 rounds to an integer in the current rounding mode (to nearest, ties to
        // even); the integer is then the low 52 bits of the sum.
        const uint64_t units = std::bit_cast<uint64_t>(magnitude * 1e6 + kTwoTo52) & kLow52Bits;
        const auto integer = static_cast<uint32_t>(units / 1000000);
        const auto fraction = static_cast<uint32_t>(units - uint64_t{integer} * 1000000);
        return static_cast<size_t>(WriteDecimals(fraction, WriteInteger(integer, end)) - text);
    }
    return FormatRare(value, text);
}
