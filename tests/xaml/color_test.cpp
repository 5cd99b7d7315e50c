// Colour conversion through the host and the colour text.
#include "xaml/color.h"

#include <gtest/gtest.h>

#include <cmath>

#include "writer_fixture.h"

namespace {

HostColor Rgb(HostReal r, HostReal g, HostReal b) {
    HostColor color{};
    color.kind = kThreeColor;
    color.c.rgb = ThreeColorStyle{r, g, b};
    return color;
}

HostColor Gray(HostReal gray) {
    HostColor color{};
    color.kind = kGrayColor;
    color.c.gray.gray = gray;
    return color;
}

HostColor Cmyk(HostReal c, HostReal m, HostReal y, HostReal k) {
    HostColor color{};
    color.kind = kFourColor;
    color.c.cmyk = FourColorStyle{c, m, y, k};
    return color;
}

class ColorTest : public WriterTest {
protected:
    void SetUp() override {
        Use(R"({"layers": [], "customColors": {"spotCmyk": {"cmyk": [0, 1, 1, 0]}, "spotRgb": {"rgb": [0, 0.5, 1]},
                                                 "spotOther": {"kind": 7}}})");
    }
    std::string Color(HostColor color) {
        CapturedOutput out;
        WriteColor(out.get(), color);
        return out.Take();
    }
    std::string Midpoint(HostColor first, HostColor second) {
        CapturedOutput out;
        WriteMidpointColor(out.get(), first, second);
        return out.Take();
    }
    HostColor Custom(const std::string& name, HostReal tint = 0) {
        HostColor color{};
        color.kind = kCustomColor;
        color.c.custom.color =
            reinterpret_cast<CustomColorHandle>(host().GetDocument().customColors.at(name).get());
        color.c.custom.tint = tint;
        return color;
    }
};

TEST_F(ColorTest, WritesOpaqueHexChannelsTruncatingTheScaledValue) {
    EXPECT_EQ(Color(Rgb(1, 0, 0)), "#ffff0000");
    EXPECT_EQ(Color(Rgb(0.5f, 0.999f, 0.25f)), "#ff7ffe3f");
}

TEST_F(ColorTest, ConvertsGrayAsItsInverse) {
    EXPECT_EQ(Color(Gray(0)), "#ffffffff");
    EXPECT_EQ(Color(Gray(1)), "#ff000000");
    EXPECT_EQ(Color(Gray(0.5f)), "#ff7f7f7f");
}

TEST_F(ColorTest, ConvertsCmykThroughTheHost) {
    EXPECT_EQ(Color(Cmyk(0, 1, 1, 0)), "#ffff0000");
    EXPECT_EQ(Color(Cmyk(0, 0, 0, 0.5f)), "#ff7f7f7f");
}

TEST_F(ColorTest, ConvertsCustomColoursFromTheirDefinitionWhateverTheTint) {
    EXPECT_EQ(Color(Custom("spotCmyk")), "#ffff0000");
    EXPECT_EQ(Color(Custom("spotCmyk", 0.7f)), "#ffff0000");
    EXPECT_EQ(Color(Custom("spotRgb")), "#ff007fff");
    EXPECT_EQ(Color(Custom("spotOther")), "#ff000000") << "a definition in no known space is black";
}

TEST_F(ColorTest, ClampsChannelsOutsideTheUnitRange) {
    EXPECT_EQ(Color(Rgb(1.5f, -0.25f, NAN)), "#ffff0000");
    EXPECT_EQ(Midpoint(Rgb(3, -3, 0), Rgb(1, -1, 0)), "#ffff0000") << "clamped after mixing";
}

TEST_F(ColorTest, MixesTwoColoursHalfwayInRgb) {
    EXPECT_EQ(Midpoint(Rgb(0, 0, 0), Rgb(1, 1, 1)), "#ff7f7f7f");
    EXPECT_EQ(Midpoint(Gray(0), Cmyk(0, 1, 1, 0)), "#ffff7f7f");
    EXPECT_EQ(Midpoint(Custom("spotOther"), Rgb(1, 1, 1)), "#ff7f7f7f");
}

}  // namespace
