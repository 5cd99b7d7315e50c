// Points read from their text must hold the doubles the C library's conversion gives, to the
// bit, and anything but two short decimals in brackets must be left to the parser.
#include "document/json_point.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace document::json_point {
namespace {

// Reads the point from a copy of `text` followed by the readable bytes the reader asks for.
template <bool kWholeToo = false>
bool Read(const std::string& text, double& x, double& y) {
    const std::string padded = text + std::string(32, '\0');
    return ReadPoint<kWholeToo>(padded.c_str(), x, y) != nullptr;
}

uint64_t Bits(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// `integerDigits` digits (the first not zero unless alone), a point, `fractionDigits` digits.
std::string Decimal(std::mt19937_64& random, int integerDigits, int fractionDigits) {
    std::string text = random() % 2 == 0 ? "-" : "";
    for (int i = 0; i < integerDigits; ++i) text += char('0' + (i == 0 && integerDigits > 1 ? 1 + random() % 9 : random() % 10));
    text += '.';
    for (int i = 0; i < fractionDigits; ++i) text += char('0' + random() % 10);
    return text;
}

TEST(JsonPoint, DecimalsReadToTheBitOfTheCLibrarysConversion) {
    if (FLT_EVAL_METHOD != 0) GTEST_SKIP() << "points are left to the parser where doubles carry more precision";
    std::mt19937_64 random(20261209);
    for (int integerDigits = 1; integerDigits <= 14; ++integerDigits) {
        for (int fractionDigits = 1; integerDigits + fractionDigits <= 15; ++fractionDigits) {
            for (int i = 0; i < 400; ++i) {
                const std::string x = Decimal(random, integerDigits, fractionDigits);
                const std::string y = Decimal(random, 1 + int(random() % 5), 1 + int(random() % 9));
                double readX = 0, readY = 0;
                ASSERT_TRUE(Read("[" + x + "," + y + "]", readX, readY)) << x << " " << y;
                ASSERT_EQ(Bits(readX), Bits(std::strtod(x.c_str(), nullptr))) << x;
                ASSERT_EQ(Bits(readY), Bits(std::strtod(y.c_str(), nullptr))) << y;
            }
        }
    }
    double x = 1, y = 1;
    ASSERT_TRUE(Read("[ -0.0 ,\n\t\r0.00000000000001 ]", x, y));
    EXPECT_TRUE(x == 0 && std::signbit(x));
    EXPECT_EQ(Bits(y), Bits(1e-14));
    EXPECT_FALSE(Read("[123456789012345.0,1.5]", x, y));  // 16 digits: left to the parser
    ASSERT_TRUE(Read("[12345678901234.5,-9999999999999.99]", x, y));
    EXPECT_EQ(x, 12345678901234.5);
    EXPECT_EQ(y, -9999999999999.99);
}

TEST(JsonPoint, AnythingElseIsLeftToTheParser) {
    double x = 0, y = 0;
    for (const char* text : {"[1, 2]", "[1.5, 2]", "[1, 2.5]", "[1.5e3, 2.5]", "[1.5, 2.5E1]", "[01.5, 2.5]",
                             "[.5, 2.5]", "[1., 2.5]", "[-, 2.5]", "[-.5, 2.5]", "[+1.5, 2.5]", "[1.5 2.5]",
                             "[1.5,, 2.5]", "[1.5, 2.5, 3.5]", "[1.5, 2.5}", "[1.5]", "[]", "[1.5,]",
                             "[\v1.5, 2.5]", "[1.5, 2.5\f]", "[1.5, \"2.5\"]", "[1.5, [2.5]]", "[1.5, 0x2.5]",
                             "[1.0000000000000001, 2.5]", "[1.5, 2.5-]", "[1.5, 2.5.5]", "[NaN, 2.5]",
                             // The bytes next to the digits' in the character set, and bytes above ASCII.
                             "[1.5/, 2.5]", "[1:, 2.5]", "[1.5:, 2.5]", "[1.5\x80, 2.5]", "[1\xff.5, 2.5]", "[1./5, 2.5]"}) {
        EXPECT_FALSE(Read(text, x, y)) << text;
    }
}

TEST(JsonPoint, SegmentsAlsoTakeWholeNumbers) {
    if (FLT_EVAL_METHOD != 0) GTEST_SKIP() << "points are left to the parser where doubles carry more precision";
    double x = 1, y = 1;
    ASSERT_TRUE(Read<true>("[-0, 123456789012345]", x, y));
    EXPECT_TRUE(x == 0 && std::signbit(x));
    EXPECT_EQ(y, 123456789012345.0);
    ASSERT_TRUE(Read<true>("[ 0 , -4786.25 ]", x, y));
    EXPECT_TRUE(x == 0 && !std::signbit(x));
    EXPECT_EQ(y, -4786.25);
    std::mt19937_64 random(20261210);
    for (int digits = 1; digits <= 15; ++digits) {
        for (int i = 0; i < 200; ++i) {
            std::string whole = random() % 2 == 0 ? "-" : "";
            for (int d = 0; d < digits; ++d) whole += char('0' + (d == 0 && digits > 1 ? 1 + random() % 9 : random() % 10));
            ASSERT_TRUE(Read<true>("[" + whole + ", 1]", x, y)) << whole;
            ASSERT_EQ(Bits(x), Bits(std::strtod(whole.c_str(), nullptr))) << whole;
        }
    }
    for (const char* text : {"[01, 2]", "[1, 02]", "[-, 2]", "[1234567890123456, 1]", "[1e2, 1]", "[1, 2", "[1 2]",
                             "[1., 2]", "[+1, 2]"}) {
        EXPECT_FALSE(Read<true>(text, x, y)) << text;
    }
}

}  // namespace
}  // namespace document::json_point
