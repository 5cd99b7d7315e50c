#include "document/svg/values/length.h"

#include <gtest/gtest.h>

#include <cmath>

namespace document::svg {
namespace {

TEST(SvgNumber, AcceptsEveryWrittenForm) {
    EXPECT_EQ(ParseNumber("42"), 42.0);
    EXPECT_EQ(ParseNumber("-1.5e3"), -1500.0);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("+2"), 2.0);
    EXPECT_EQ(ParseNumber("1."), 1.0);
    EXPECT_EQ(ParseNumber("1E+2"), 100.0);
    EXPECT_EQ(ParseNumber("  7\t\n"), 7.0);
    EXPECT_EQ(ParseNumber("1e-400"), 0.0);  // too small to represent: zero, not an error
}

TEST(SvgNumber, RejectsWhatIsNotExactlyANumber) {
    for (const char* bad : {"", " ", "-", ".", "+.", "1e", "1e+", "1.5.5", "1px", "inf", "nan", "0x10",
                            "1e400", "--1", "1 2", ",1"}) {
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    }
}

TEST(SvgLength, ReadsEveryUnitInAnyCase) {
    struct Case {
        const char* text;
        double value;
        LengthUnit unit;
    };
    for (const Case& c : {Case{"12", 12, LengthUnit::kNone}, Case{"12px", 12, LengthUnit::kPx},
                          Case{"3pt", 3, LengthUnit::kPt}, Case{"2pc", 2, LengthUnit::kPc},
                          Case{"5mm", 5, LengthUnit::kMm}, Case{"1.5cm", 1.5, LengthUnit::kCm},
                          Case{"1in", 1, LengthUnit::kIn}, Case{"2em", 2, LengthUnit::kEm},
                          Case{"3ex", 3, LengthUnit::kEx}, Case{"50%", 50, LengthUnit::kPercent},
                          Case{"4PX", 4, LengthUnit::kPx}, Case{" -1e1Mm ", -10, LengthUnit::kMm}}) {
        const auto length = ParseLength(c.text);
        ASSERT_TRUE(length.has_value()) << c.text;
        EXPECT_EQ(length->value, c.value) << c.text;
        EXPECT_EQ(length->unit, c.unit) << c.text;
    }
    for (const char* bad : {"px", "12 px", "12pxx", "12qq", "12%%", "1e", "12px3"}) {
        EXPECT_FALSE(ParseLength(bad).has_value()) << bad;
    }
}

TEST(SvgLength, ListsNeedSeparatorsAndNoStrayCommas) {
    const auto numbers = ParseNumberList(" 1, 2 3,4\n5 ");
    ASSERT_TRUE(numbers.has_value());
    EXPECT_EQ(*numbers, (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ParseNumberList("")->size(), 0u);
    for (const char* bad : {"1,,2", ",1", "1,", "1 2,", "1-2", "1 x"}) {
        EXPECT_FALSE(ParseNumberList(bad).has_value()) << bad;
    }
    const auto lengths = ParseLengthList("5px, 10% 2em");
    ASSERT_TRUE(lengths.has_value());
    ASSERT_EQ(lengths->size(), 3u);
    EXPECT_EQ((*lengths)[1].unit, LengthUnit::kPercent);
    EXPECT_EQ((*lengths)[2].value, 2);
    EXPECT_FALSE(ParseLengthList("5px10px").has_value());
}

TEST(SvgLength, ConvertsToUserUnitsAt96PerInch) {
    auto user = [](const char* text, LengthAxis axis = LengthAxis::kX) {
        return ToUserUnits(*ParseLength(text), axis, 200, 100, 20);
    };
    EXPECT_DOUBLE_EQ(user("10"), 10);
    EXPECT_DOUBLE_EQ(user("10px"), 10);
    EXPECT_DOUBLE_EQ(user("72pt"), 96);
    EXPECT_DOUBLE_EQ(user("1pc"), 16);
    EXPECT_DOUBLE_EQ(user("25.4mm"), 96);
    EXPECT_DOUBLE_EQ(user("2.54cm"), 96);
    EXPECT_DOUBLE_EQ(user("0.5in"), 48);
    EXPECT_DOUBLE_EQ(user("1.5em"), 30);
    EXPECT_DOUBLE_EQ(user("1ex"), 10);
    EXPECT_DOUBLE_EQ(user("50%", LengthAxis::kX), 100);
    EXPECT_DOUBLE_EQ(user("50%", LengthAxis::kY), 50);
    // sqrt((200^2 + 100^2) / 2) = sqrt(25000) = 158.11...
    EXPECT_NEAR(user("100%", LengthAxis::kOther), 158.113883, 1e-6);
    EXPECT_DOUBLE_EQ(ToUserUnits(*ParseLength("2em"), LengthAxis::kX, 0, 0), 32);  // 16 by default
}

}  // namespace
}  // namespace document::svg
