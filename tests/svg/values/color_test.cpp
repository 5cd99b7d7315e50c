#include "document/svg/values/color.h"

#include <gtest/gtest.h>

namespace document::svg {
namespace {

// "r g b a" of a parsed colour, for compact comparisons.
testing::AssertionResult IsRgba(const char* text, int r, int g, int b, double alpha = 1) {
    const std::optional<Color> color = ParseColor(text);
    if (!color) return testing::AssertionFailure() << '"' << text << "\" was rejected";
    if (color->currentColor) return testing::AssertionFailure() << '"' << text << "\" read as currentColor";
    const Rgb& rgb = color->rgb;
    if (rgb.r != r || rgb.g != g || rgb.b != b || std::abs(rgb.alpha - alpha) > 1e-9) {
        return testing::AssertionFailure() << '"' << text << "\" gave " << int(rgb.r) << ' ' << int(rgb.g) << ' '
                                           << int(rgb.b) << ' ' << rgb.alpha;
    }
    return testing::AssertionSuccess();
}

TEST(SvgColor, HexFormsInAnyCase) {
    EXPECT_TRUE(IsRgba("#f80", 255, 136, 0));
    EXPECT_TRUE(IsRgba("#FF8800", 255, 136, 0));
    EXPECT_TRUE(IsRgba("#12aBcD", 0x12, 0xab, 0xcd));
    EXPECT_TRUE(IsRgba("#f808", 255, 136, 0, 0x88 / 255.0));
    EXPECT_TRUE(IsRgba("#ff880040", 255, 136, 0, 0x40 / 255.0));
    EXPECT_TRUE(IsRgba("  #000 ", 0, 0, 0));
    for (const char* bad : {"#", "#f", "#ff", "#fffff", "#fffffff", "#fffffffff", "#ggg", "#12 345", "#-12"}) {
        EXPECT_FALSE(ParseColor(bad).has_value()) << bad;
    }
}

TEST(SvgColor, RgbWithNumbersOrPercentagesClamped) {
    EXPECT_TRUE(IsRgba("rgb(255, 128, 0)", 255, 128, 0));
    EXPECT_TRUE(IsRgba("rgb(100%, 50%, 0%)", 255, 128, 0));  // 127.5 rounds up
    EXPECT_TRUE(IsRgba("rgb(300, -20, 12.4)", 255, 0, 12));
    EXPECT_TRUE(IsRgba("rgb(150%, -5%, 20%)", 255, 0, 51));
    EXPECT_TRUE(IsRgba("RGB( 1 ,2,3 )", 1, 2, 3));
    EXPECT_TRUE(IsRgba("rgba(10, 20, 30, 0.25)", 10, 20, 30, 0.25));
    EXPECT_TRUE(IsRgba("rgba(10, 20, 30, 2)", 10, 20, 30, 1));
    EXPECT_TRUE(IsRgba("rgba(10, 20, 30, -1)", 10, 20, 30, 0));
    EXPECT_TRUE(IsRgba("rgba(10, 20, 30, 40%)", 10, 20, 30, 0.4));
    EXPECT_TRUE(IsRgba("rgb(10, 20, 30, 0.5)", 10, 20, 30, 0.5));
    EXPECT_TRUE(IsRgba("rgba(10, 20, 30)", 10, 20, 30));
    // The space form, with the alpha after a slash, may mix numbers and percentages.
    EXPECT_TRUE(IsRgba("rgb(10 20 30)", 10, 20, 30));
    EXPECT_TRUE(IsRgba("rgb(10 100% 30 / 50%)", 10, 255, 30, 0.5));
    for (const char* bad : {"rgb(1, 2)", "rgb(1, 2, 3, 4, 5)", "rgb(1, 2%, 3)", "rgb(1, 2, 3,)", "rgb(,1, 2, 3)",
                            "rgb(1 2, 3)", "rgb(1, 2 3)", "rgb(1 2 3 4)", "rgb(1 2 / 3 4)", "rgb(1, 2, 3 / 4)",
                            "rgb(1 2 3 /)", "rgb(1, 2, 3", "rgb 1, 2, 3)", "rgb()", "rgb(a, b, c)",
                            "rgb(1deg, 2, 3)", "rgbx(1, 2, 3)", "rgb(1, 2, 3)x"}) {
        EXPECT_FALSE(ParseColor(bad).has_value()) << bad;
    }
}

TEST(SvgColor, HslConvertedToRgb) {
    EXPECT_TRUE(IsRgba("hsl(0, 100%, 50%)", 255, 0, 0));
    EXPECT_TRUE(IsRgba("hsl(120, 100%, 25%)", 0, 128, 0));
    EXPECT_TRUE(IsRgba("hsl(240, 100%, 50%)", 0, 0, 255));
    EXPECT_TRUE(IsRgba("hsl(-120, 100%, 50%)", 0, 0, 255));  // hue wraps
    EXPECT_TRUE(IsRgba("hsl(600, 100%, 50%)", 0, 0, 255));
    EXPECT_TRUE(IsRgba("hsl(0, 0%, 50%)", 128, 128, 128));
    // hsl(30, 100%, 75%): m2 = .75 + 1 - .75 = 1, m1 = .5; r = 1, g = .5 + .5 * (1/12 * 6) = .75, b = .5
    EXPECT_TRUE(IsRgba("hsl(30, 100%, 75%)", 255, 191, 128));
    EXPECT_TRUE(IsRgba("hsla(0.5turn, 100%, 50%, 0.5)", 0, 255, 255, 0.5));
    EXPECT_TRUE(IsRgba("hsl(180deg 100% 50% / 25%)", 0, 255, 255, 0.25));
    EXPECT_TRUE(IsRgba("hsl(0, 200%, 150%)", 255, 255, 255));
    for (const char* bad : {"hsl(0, 100, 50)", "hsl(0%, 100%, 50%)", "hsl(0, 100%)", "hsl(0 100% 50% 1)"}) {
        EXPECT_FALSE(ParseColor(bad).has_value()) << bad;
    }
}

TEST(SvgColor, NamedColoursAndKeywords) {
    EXPECT_TRUE(IsRgba("red", 255, 0, 0));
    EXPECT_TRUE(IsRgba("ReD", 255, 0, 0));
    EXPECT_TRUE(IsRgba("aliceblue", 0xf0, 0xf8, 0xff));
    EXPECT_TRUE(IsRgba("yellowgreen", 0x9a, 0xcd, 0x32));
    EXPECT_TRUE(IsRgba("lightgoldenrodyellow", 0xfa, 0xfa, 0xd2));
    // The CSS values, which differ from the X11 colours of the same names.
    EXPECT_TRUE(IsRgba("gray", 128, 128, 128));
    EXPECT_TRUE(IsRgba("grey", 128, 128, 128));
    EXPECT_TRUE(IsRgba("green", 0, 128, 0));
    EXPECT_TRUE(IsRgba("maroon", 128, 0, 0));
    EXPECT_TRUE(IsRgba("purple", 128, 0, 128));
    EXPECT_TRUE(IsRgba("darkslategrey", 0x2f, 0x4f, 0x4f));
    EXPECT_TRUE(IsRgba("rebeccapurple", 0x66, 0x33, 0x99));
    EXPECT_TRUE(IsRgba("transparent", 0, 0, 0, 0));
    for (const char* keyword : {"currentColor", "currentcolor", " CURRENTCOLOR "}) {
        const auto color = ParseColor(keyword);
        ASSERT_TRUE(color.has_value()) << keyword;
        EXPECT_TRUE(color->currentColor) << keyword;
    }
    for (const char* bad : {"", "  ", "redd", "re d", "blu", "none", "inherit", "currentColour",
                            "lightgoldenrodyellowish"}) {
        EXPECT_FALSE(ParseColor(bad).has_value()) << bad;
    }
}

TEST(SvgPaint, NoneColourAndReferences) {
    const auto none = ParsePaint(" none ");
    ASSERT_TRUE(none.has_value());
    EXPECT_EQ(none->kind, Paint::kNone);

    const auto color = ParsePaint("#0000ff");
    ASSERT_TRUE(color.has_value());
    EXPECT_EQ(color->kind, Paint::kColor);
    EXPECT_EQ(color->color.rgb.b, 255);

    const auto current = ParsePaint("currentColor");
    ASSERT_TRUE(current.has_value());
    EXPECT_EQ(current->kind, Paint::kColor);
    EXPECT_TRUE(current->color.currentColor);

    const auto plain = ParsePaint("url(#grad1)");
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->kind, Paint::kUrl);
    EXPECT_EQ(plain->url, "grad1");
    EXPECT_FALSE(plain->hasFallback);

    const auto quoted = ParsePaint("url( \"#a b\" ) red");
    ASSERT_TRUE(quoted.has_value());
    EXPECT_EQ(quoted->url, "a b");
    EXPECT_TRUE(quoted->hasFallback);
    EXPECT_FALSE(quoted->fallbackNone);
    EXPECT_EQ(quoted->color.rgb.r, 255);

    const auto single = ParsePaint("url('#g')none");
    ASSERT_TRUE(single.has_value());
    EXPECT_EQ(single->url, "g");
    EXPECT_TRUE(single->hasFallback);
    EXPECT_TRUE(single->fallbackNone);

    const auto bracket = ParsePaint("url('#odd)name') blue");
    ASSERT_TRUE(bracket.has_value());
    EXPECT_EQ(bracket->url, "odd)name");
    EXPECT_EQ(bracket->color.rgb.b, 255);

    // References into other files cannot be followed: a reference to nothing.
    const auto external = ParsePaint("url(other.svg#grad)");
    ASSERT_TRUE(external.has_value());
    EXPECT_EQ(external->kind, Paint::kUrl);
    EXPECT_EQ(external->url, "");

    for (const char* bad : {"", "url(#a", "url(#a) bogus", "url(\"#a)", "nonee", "inherit", "url(#a) rgb(1,2)"}) {
        EXPECT_FALSE(ParsePaint(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace document::svg
