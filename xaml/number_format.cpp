#include "xaml/number_format.h"

#include <cfloat>
#include <charconv>

namespace fixed6 {

namespace {

constexpr std::array<uint32_t, 10000> MakeDigitGroups() {
    std::array<uint32_t, 10000> groups{};
    for (uint32_t n = 0; n < 10000; ++n) {
        groups[n] = ('0' + n / 1000) | (('0' + n / 100 % 10) << 8) | (('0' + n / 10 % 10) << 16) |
                    (('0' + n % 10) << 24);
    }
    return groups;
}

uint64_t EightDigits(uint32_t value) {  // value below 10^8, leading zeros kept
    return kDigitGroups[value / 10000] | (uint64_t{kDigitGroups[value % 10000]} << 32);
}

}  // namespace

extern const std::array<uint32_t, 10000> kDigitGroups = MakeDigitGroups();

char* WriteLongInteger(uint32_t value, char* text) {
    if (value < 100000000) {
        const int count = 5 + (value >= 100000) + (value >= 1000000) + (value >= 10000000);
        const uint64_t digits = EightDigits(value) >> (8 * (8 - count));
        std::memcpy(text, &digits, 8);
        return text + count;
    }
    const uint32_t head = value / 100000000;  // 1 to 39
    if (head >= 10) *text++ = static_cast<char>('0' + head / 10);
    *text++ = static_cast<char>('0' + head % 10);
    const uint64_t digits = EightDigits(value % 100000000);
    std::memcpy(text, &digits, 8);
    return text + 8;
}

size_t FormatRare(double value, char* text) {
    if (std::isnan(value)) value = 0.0;
    if (std::isinf(value)) value = std::copysign(static_cast<double>(FLT_MAX), value);
    const auto result = std::to_chars(text, text + kFixed6MaxLength, value, std::chars_format::fixed, 6);
    return static_cast<size_t>(result.ptr - text);
}

}  // namespace fixed6
