#include "xaml/number_format.h"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

static_assert(std::endian::native == std::endian::little, "digit groups are shifted as little-endian words");

// Below this magnitude the scaled value is under 2^52, where adding 2^52 leaves a spacing of
// exactly 1 between doubles, and the integer part fits 32 bits.
constexpr double kFastPathLimit = 4.0e9;
constexpr double kTwoTo52 = 4503599627370496.0;
constexpr uint64_t kLow52Bits = (uint64_t{1} << 52) - 1;

// The four decimal digits, leading zeros kept, of every number below 10000 (40000 bytes):
// one load replaces four divisions.
struct DigitGroups {
    char digits[10000][4];
    constexpr DigitGroups() : digits() {
        for (int n = 0; n < 10000; ++n) {
            digits[n][0] = static_cast<char>('0' + n / 1000);
            digits[n][1] = static_cast<char>('0' + n / 100 % 10);
            digits[n][2] = static_cast<char>('0' + n / 10 % 10);
            digits[n][3] = static_cast<char>('0' + n % 10);
        }
    }
};
constexpr DigitGroups kDigitGroups;

// The group's four characters as a word, the first in the low byte.
uint32_t Group(uint32_t n) {
    uint32_t word;
    std::memcpy(&word, kDigitGroups.digits[n], 4);
    return word;
}

uint64_t Groups(uint32_t high, uint32_t low) {
    return Group(high) | (static_cast<uint64_t>(Group(low)) << 32);
}

// Writes the integer part without leading zeros and answers the end. The digits are built in
// a word whose low bytes are the leading zeros; shifting them out leaves the digits at the
// start, and the whole word is stored (the bytes past the end are spare room).
char* WriteInteger(uint32_t value, char* text) {
    if (value < 10000) {
        const int count = 1 + (value >= 10) + (value >= 100) + (value >= 1000);
        const uint32_t digits = Group(value) >> (8 * (4 - count));
        std::memcpy(text, &digits, 4);
        return text + count;
    }
    if (value < 100000000) {
        const int count = 5 + (value >= 100000) + (value >= 1000000) + (value >= 10000000);
        const uint64_t digits = Groups(value / 10000, value % 10000) >> (8 * (8 - count));
        std::memcpy(text, &digits, 8);
        return text + count;
    }
    const uint32_t head = value / 100000000;  // 1 to 39
    if (head >= 10) *text++ = static_cast<char>('0' + head / 10);
    *text++ = static_cast<char>('0' + head % 10);
    const uint32_t rest = value % 100000000;
    const uint64_t digits = Groups(rest / 10000, rest % 10000);
    std::memcpy(text, &digits, 8);
    return text + 8;
}

// Writes "." and the six decimals of `fraction` (below 10^6); answers the end.
char* WriteDecimals(uint32_t fraction, char* text) {
    const uint32_t firstFour = fraction / 100;
    const uint32_t lastTwo = fraction - firstFour * 100;
    const uint32_t first = Group(firstFour);
    text[0] = '.';
    std::memcpy(text + 1, &first, 4);
    std::memcpy(text + 5, kDigitGroups.digits[lastTwo] + 2, 2);
    return text + 7;
}

// Values that are not 32-bit reals, very large ones, NaN and the infinities; kept out of line
// so that the common path needs no stack frame.
[[gnu::noinline]] size_t FormatRare(double value, char* text) {
    if (std::isnan(value)) value = 0.0;
    if (std::isinf(value)) value = std::copysign(static_cast<double>(FLT_MAX), value);
    const auto result = std::to_chars(text, text + kFixed6MaxLength, value, std::chars_format::fixed, 6);
    return static_cast<size_t>(result.ptr - text);
}

}  // namespace

size_t FormatFixed6(double value, char* text) {
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
        end = WriteDecimals(fraction, WriteInteger(integer, end));
        return static_cast<size_t>(end - text);
    }
    return FormatRare(value, text);
}
