// Numbers of path data and other values: each must convert to the double std::from_chars
// gives for the same text (the scanner converts most numbers itself), and end where the
// grammar says.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "document/svg/values/scanner.h"

namespace document::svg::scan {
namespace {

// The double from_chars makes of the text (without a leading '+', which it refuses).
double Reference(const std::string& text) {
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    EXPECT_EQ(error, std::errc()) << text;
    EXPECT_EQ(end, text.data() + text.size()) << text;
    return value;
}

void ExpectSameBits(const std::string& text) {
    size_t pos = 0;
    double value = 1234.5;
    ASSERT_TRUE(ScanNumber(text, pos, value)) << text;
    EXPECT_EQ(pos, text.size()) << text;
    const double expected = Reference(text);
    uint64_t got = 0, want = 0;
    std::memcpy(&got, &value, sizeof got);
    std::memcpy(&want, &expected, sizeof want);
    EXPECT_EQ(got, want) << text << ": " << value << " against " << expected;
}

TEST(NumberScan, ConvertsAsFromCharsAtTheEdgesOfTheExactRange) {
    for (const char* text : {"0", "-0", "+0", "-0.0", ".5", "5.", "-.5e1", "1e22", "1e23", "1e-22", "1e-23",
                             "123456789012345", "1234567890123456", "12345678901234567890", "999999999999999",
                             "9999999999999999", "0.000000000000001", "1.00000000000000000001", "9007199254740993",
                             "4.35", "0.1", "0.3", "2.2250738585072014e-308", "4.9e-324", "1.7976931348623157e308",
                             "123456789012345e7", "123456789012345e-37"}) {
        ExpectSameBits(text);
    }
}

TEST(NumberScan, NegativeZeroAndUnderflowKeepTheirSign) {
    for (const char* text : {"-0", "-0.000", "-1e-400"}) {
        size_t pos = 0;
        double value = 1;
        ASSERT_TRUE(ScanNumber(text, pos, value));
        EXPECT_EQ(value, 0.0);
        EXPECT_TRUE(std::signbit(value)) << text;
    }
}

TEST(NumberScan, RandomDecimalsOfEveryLengthAndScale) {
    std::mt19937_64 random(20261209);
    for (int n = 0; n < 200000; ++n) {
        const int digitCount = 1 + int(random() % 18);
        std::string digits;
        for (int d = 0; d < digitCount; ++d) digits += char('0' + random() % 10);
        const int point = int(random() % (digitCount + 1));
        std::string text = (random() % 2 ? "-" : "") + digits.substr(0, point) + "." + digits.substr(point);
        if (text == "." || text == "-.") text += "0";
        if (random() % 4 == 0) text += "e" + std::to_string(int(random() % 61) - 30);
        ExpectSameBits(text);
    }
}

// Numbers amid path data: digit runs of every length meet the text after them within one
// eight-byte read, whatever that text is (bytes that carry when added to, letters, signs).
TEST(NumberScan, RandomDecimalsFollowedByOtherText) {
    std::mt19937_64 random(20261210);
    const std::string tails[] = {" 1", ",2", "L3", "\xFF\xFF" "9", "\xFA" "7", "Z", "-5", "/", ":9", "  "};
    for (int n = 0; n < 100000; ++n) {
        const int digitCount = 1 + int(random() % 15);
        std::string digits;
        for (int d = 0; d < digitCount; ++d) digits += char('0' + random() % 10);
        const int point = int(random() % (digitCount + 2));
        std::string number = point > digitCount ? digits : digits.substr(0, point) + "." + digits.substr(point);
        if (number == ".") number = "0";
        if (random() % 2) number = "-" + number;
        std::string tail = tails[random() % std::size(tails)];
        tail += std::string(random() % 12, char('0' + random() % 10));
        const std::string text = number + tail;
        size_t pos = 0;
        double value = 0;
        ASSERT_TRUE(ScanNumber(text, pos, value)) << text;
        EXPECT_EQ(pos, number.size()) << text;
        EXPECT_EQ(value, Reference(number)) << text;
    }
}

// The length of the number at the start of `text` by the grammar, found the plain way: a sign,
// digits with at most one point among or after them (one digit at least), and an exponent when
// digits follow its letter and sign.
size_t NumberLength(const std::string& text) {
    const auto digitsFrom = [&](size_t at) {
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at;
    };
    size_t at = text[0] == '-' || text[0] == '+' ? 1 : 0;
    const size_t integerEnd = digitsFrom(at);
    size_t end = integerEnd;
    if (end < text.size() && text[end] == '.') end = digitsFrom(end + 1);
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '-' || text[exponent] == '+')) ++exponent;
        const size_t exponentEnd = digitsFrom(exponent);
        if (exponentEnd > exponent) end = exponentEnd;
    }
    return end;
}

// In path data a number is mostly followed by many more bytes: where 32 follow, digits and point
// within 16 bytes are measured at once. Every split of up to 18 digits around the point, signs,
// exponents, and runs of digits that reach or pass the 16 bytes measured, each followed by text
// of every kind, must convert and end as the loops do.
TEST(NumberScan, NumbersMeasuredAtOnceAmidLongText) {
    std::mt19937_64 random(20261211);
    const std::string tails[] = {" 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", ",2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17",
                                 "L3 4L5 6L7 8L9 10L11 12L13 14L15 16L17 18", "\xFF\xFF" "9999999999999999999999999999999999",
                                 "e5 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", "E-3,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15",
                                 ".5.5.5.5.5.5.5.5.5.5.5.5.5.5.5.5.5.5.5.5", "0000000000000000000000000000000000000000"};
    for (int integerDigits = 0; integerDigits <= 18; ++integerDigits) {
        for (int fractionDigits = -1; fractionDigits <= 18; ++fractionDigits) {  // -1: no point
            for (int n = 0; n < 40; ++n) {
                std::string number;
                for (int d = 0; d < integerDigits; ++d) number += char('0' + random() % 10);
                if (fractionDigits >= 0) number += '.';
                for (int d = 0; d < fractionDigits; ++d) number += char('0' + random() % 10);
                if (number.find_first_of("0123456789") == std::string::npos) continue;
                const int sign = int(random() % 3);
                if (sign != 0) number = (sign == 1 ? "-" : "+") + number;
                const std::string text = number + tails[random() % std::size(tails)];
                size_t pos = 0;
                double value = 0;
                ASSERT_TRUE(ScanNumber(text, pos, value)) << text;
                ASSERT_EQ(pos, NumberLength(text)) << text;
                const double expected = Reference(text.substr(0, pos));
                uint64_t got = 0, want = 0;
                std::memcpy(&got, &value, sizeof got);
                std::memcpy(&want, &expected, sizeof want);
                EXPECT_EQ(got, want) << text << ": " << value << " against " << expected;
            }
        }
    }
}

TEST(NumberScan, StopsWhereTheNumberEnds) {
    struct Case {
        const char* text;
        size_t end;
    };
    for (const Case& c : {Case{"1.5.5", 3}, Case{"-2e", 2}, Case{"3em", 1}, Case{"4e+x", 1}, Case{"10-5", 2},
                          Case{"7.25,1", 4}, Case{"1e5.5", 3}}) {
        size_t pos = 0;
        double value = 0;
        ASSERT_TRUE(ScanNumber(c.text, pos, value)) << c.text;
        EXPECT_EQ(pos, c.end) << c.text;
        const std::string number(c.text, c.end);
        EXPECT_EQ(value, Reference(number)) << c.text;
    }
    for (const char* text : {"", ".", "-", "+.", "e5", "-e1", "1e400", "-1e999"}) {
        size_t pos = 0;
        double value = 0;
        EXPECT_FALSE(ScanNumber(text, pos, value)) << text;
        EXPECT_EQ(pos, 0u) << text;
    }
}

}  // namespace
}  // namespace document::svg::scan
