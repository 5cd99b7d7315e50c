// FormatFixed6 must give exactly the text of "%f", which std::to_chars with fixed notation and
// precision 6 also gives.
#include "xaml/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Formatted(double value) {
    char text[kFixed6MaxLength];
    return std::string(text, FormatFixed6(value, text));
}

std::string Reference(double value) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

TEST(FormatFixed6, MatchesFixedNotationOnHardCases) {
    const float cases[] = {0.0f,
                           -0.0f,
                           1.0f,
                           -12.5f,
                           0.0078125f,    // exactly halfway: rounds to even, 0.007812
                           0.0234375f,    // halfway, rounds up to even, 0.023438
                           -0.0078125f,
                           0.0000005f,    // just around half a unit of the last decimal
                           0.00000049999f,
                           0.0000015f,
                           -0.0000004f,   // rounds to zero but keeps its sign
                           1e-45f,        // smallest subnormal
                           1.17549435e-38f,
                           FLT_MAX,
                           -FLT_MAX,
                           8388608.5f,
                           16777216.0f,
                           9.0e12f,
                           9.3e12f,       // beyond the integer fast path
                           123456.789f,
                           0.1f,
                           0.3f,
                           2.675f};
    for (float value : cases) {
        EXPECT_EQ(Formatted(value), Reference(value)) << "bits " << std::bit_cast<uint32_t>(value);
    }
}

TEST(FormatFixed6, MatchesFixedNotationForRandomRealsOfEveryExponent) {
    std::mt19937 random(20261208);
    for (uint32_t exponent = 0; exponent < 255; ++exponent) {
        for (int i = 0; i < 4000; ++i) {
            const uint32_t bits = (static_cast<uint32_t>(random() & 1u) << 31) | (exponent << 23) |
                                  (static_cast<uint32_t>(random()) & 0x7FFFFFu);
            const float value = std::bit_cast<float>(bits);
            ASSERT_EQ(Formatted(value), Reference(value)) << "bits " << bits;
        }
    }
}

// The digits are built in groups of four and the integer part's length picks the group
// layout, so every change of length, every carry of the rounding into the integer part and
// the end of the integer path are checked with their neighbouring reals on both sides.
TEST(FormatFixed6, MatchesFixedNotationAroundEveryChangeOfLength) {
    std::vector<float> edges;
    for (float power = 1.0f; power <= 1e10f; power *= 10.0f) edges.push_back(power);
    // Just below each of these, the sixth decimal rounds up into the integer part.
    for (float power = 1.0f; power <= 1e10f; power *= 10.0f) edges.push_back(power - 0.0000005f * power);
    edges.insert(edges.end(), {4.0e9f, 4294967296.0f, 0.9999995f, 9999.9995f, 0.0000005f, 0.00000049f});
    for (float edge : edges) {
        float below = edge;
        float above = edge;
        for (int step = 0; step < 8; ++step) {
            for (float value : {below, above, -below, -above}) {
                EXPECT_EQ(Formatted(value), Reference(value)) << "bits " << std::bit_cast<uint32_t>(value);
            }
            below = std::nextafter(below, 0.0f);
            above = std::nextafter(above, INFINITY);
        }
    }
}

// Every group of four digits the table holds, in each place a group can stand: the integer
// part alone, the high and low groups of a longer integer part, and the decimals.
TEST(FormatFixed6, MatchesFixedNotationForEveryDigitGroup) {
    for (int group = 0; group < 10000; ++group) {
        const float integer = static_cast<float>(group);
        const float longer = static_cast<float>(group) * 10000.0f + 1234.0f;
        const float decimals = static_cast<float>(group) / 10000.0f + 7.0f;
        for (float value : {integer, longer, decimals, -decimals}) {
            ASSERT_EQ(Formatted(value), Reference(value)) << "bits " << std::bit_cast<uint32_t>(value);
        }
    }
}

TEST(FormatFixed6, MatchesFixedNotationForValuesThatAreNotSingleReals) {
    const double cases[] = {0.1, 1.0 / 3.0, -2.0000005, 1e15 + 0.5, 123456789.0078125, 0.0000005};
    for (double value : cases) EXPECT_EQ(Formatted(value), Reference(value));
}

TEST(FormatFixed6, GivesNumbersWithoutTextAValidRendering) {
    EXPECT_EQ(Formatted(std::nan("")), "0.000000");
    EXPECT_EQ(Formatted(-std::nan("")), "0.000000");
    EXPECT_EQ(Formatted(INFINITY), Reference(FLT_MAX));
    EXPECT_EQ(Formatted(-INFINITY), Reference(-FLT_MAX));
}

TEST(FormatFixed6, IgnoresTheProcessLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 1.5);
    EXPECT_EQ(std::string(printed), "1,5") << "the locale in force writes a decimal comma";
    EXPECT_EQ(Formatted(1.5), "1.500000");
    EXPECT_EQ(Formatted(-1234.5), "-1234.500000");
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
