// font-size values computed against the parent's size.
#include <gtest/gtest.h>

#include "document/svg/values/font_size.h"

namespace document::svg {
namespace {

TEST(SvgFontSize, AbsoluteLengthsAreThemselvesRelativeOnesReferToTheParent) {
    auto size = [](const char* text) { return ComputeFontSize(text, 20).value_or(-1); };
    EXPECT_DOUBLE_EQ(size("12"), 12);  // a bare number is px, as presentation attributes write it
    EXPECT_DOUBLE_EQ(size(" 12px "), 12);
    EXPECT_DOUBLE_EQ(size("12pt"), 16);
    EXPECT_DOUBLE_EQ(size("0.5in"), 48);
    EXPECT_DOUBLE_EQ(size("1.5em"), 30);
    EXPECT_DOUBLE_EQ(size("1EX"), 10);
    EXPECT_DOUBLE_EQ(size("150%"), 30);
    EXPECT_DOUBLE_EQ(size("0"), 0);
}

TEST(SvgFontSize, KeywordsAreTheAbsoluteTableAndStepsOfTheParent) {
    auto size = [](const char* text) { return ComputeFontSize(text, 20).value_or(-1); };
    EXPECT_DOUBLE_EQ(size("medium"), 16);
    EXPECT_DOUBLE_EQ(size("xx-small"), 9.6);
    EXPECT_DOUBLE_EQ(size("x-small"), 12);
    EXPECT_DOUBLE_EQ(size("Small"), 16.0 * 8 / 9);
    EXPECT_DOUBLE_EQ(size("large"), 19.2);
    EXPECT_DOUBLE_EQ(size("x-large"), 24);
    EXPECT_DOUBLE_EQ(size("xx-large"), 32);
    EXPECT_DOUBLE_EQ(size("xxx-large"), 48);
    EXPECT_DOUBLE_EQ(size("larger"), 24);
    EXPECT_DOUBLE_EQ(size("SMALLER"), 20 / 1.2);
}

TEST(SvgFontSize, BadNegativeAndUnsetValuesGiveNothing) {
    for (const char* text : {"", "inherit", "-1", "-2em", "big", "12 px", "1e400", "x-largest", "calc(1em)"}) {
        EXPECT_FALSE(ComputeFontSize(text, 20).has_value()) << text;
    }
}

}  // namespace
}  // namespace document::svg
