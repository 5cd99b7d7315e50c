#include "xaml/number_format.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the decimal digits of value, most significant first; answers the count.
size_t WriteUnsigned(uint64_t value, char* text) {
    char digits[20];
    char* end = digits + sizeof digits;
    char* p = end;
    while (value >= 100) {
        const unsigned pair = static_cast<unsigned>(value % 100) * 2;
        value /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (value >= 10) {
        const unsigned pair = static_cast<unsigned>(value) * 2;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    } else {
        *--p = static_cast<char>('0' + value);
    }
    const size_t count = static_cast<size_t>(end - p);
    std::memcpy(text, p, count);
    return count;
}

// Below this the scaled value and its integer part fit an unsigned 64-bit integer.
constexpr double kFastPathLimit = 9.0e18;

}  // namespace

size_t FormatFixed6(double value, char* text) {
    if (std::isnan(value)) value = 0.0;
    if (std::isinf(value)) value = std::copysign(static_cast<double>(FLT_MAX), value);

    // For a value that is a 32-bit real, value * 10^6 is exact in double precision (24 + 14
    // significant bits), so rounding it to an integer, halfway cases to even as "%f" does,
    // gives the six decimals at once.
    const double scaled = value * 1e6;
    if (static_cast<double>(static_cast<float>(value)) == value && std::fabs(scaled) < kFastPathLimit) {
        size_t length = 0;
        if (std::signbit(value)) text[length++] = '-';
        const uint64_t units = static_cast<uint64_t>(std::nearbyint(std::fabs(scaled)));
        length += WriteUnsigned(units / 1000000, text + length);
        text[length++] = '.';
        uint32_t fraction = static_cast<uint32_t>(units % 1000000);
        for (int pair = 2; pair >= 0; --pair) {
            const unsigned index = (fraction % 100) * 2;
            fraction /= 100;
            text[length + 2 * static_cast<size_t>(pair)] = kDigitPairs[index];
            text[length + 2 * static_cast<size_t>(pair) + 1] = kDigitPairs[index + 1];
        }
        return length + 6;
    }
    const auto result = std::to_chars(text, text + kFixed6MaxLength, value, std::chars_format::fixed, 6);
    return static_cast<size_t>(result.ptr - text);
}
