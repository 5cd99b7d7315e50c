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
