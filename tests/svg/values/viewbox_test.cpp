#include "document/svg/values/viewbox.h"

#include <gtest/gtest.h>

#include <cmath>

namespace document::svg {
namespace {

TEST(SvgViewBox, FourNumbersWithPositiveSize) {
    const auto box = ParseViewBox(" -10,20 300\n150.5 ");
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->x, -10);
    EXPECT_EQ(box->y, 20);
    EXPECT_EQ(box->width, 300);
    EXPECT_EQ(box->height, 150.5);
    for (const char* bad : {"", "0 0 100", "0 0 100 100 5", "0 0 0 100", "0 0 100 0", "0 0 -1 100", "0,,0 1 1",
                            "0 0 1 1,", "a b c d", "0 0 1px 1"}) {
        EXPECT_FALSE(ParseViewBox(bad).has_value()) << bad;
    }
}

TEST(SvgViewBox, PreserveAspectRatioForms) {
    using Par = PreserveAspectRatio;
    auto expect = [](const char* text, Par::Align x, Par::Align y, bool slice) {
        const Par par = ParsePreserveAspectRatio(text);
        EXPECT_EQ(par.x, x) << text;
        EXPECT_EQ(par.y, y) << text;
        EXPECT_EQ(par.slice, slice) << text;
    };
    expect("xMinYMax", Par::kMin, Par::kMax, false);
    expect("xMaxYMin slice", Par::kMax, Par::kMin, true);
    expect(" defer xMidYMin meet ", Par::kMid, Par::kMin, false);
    expect("none", Par::kNone, Par::kNone, false);
    // Malformed text falls back to xMidYMid meet.
    for (const char* bad : {"", "xminymin", "xMinYMin bogus", "xMinYMin meet slice", "defer", "xMinYMi", "xMidYMax meet x"}) {
        expect(bad, Par::kMid, Par::kMid, false);
    }
}

// Where the view box's corners land in a 200 x 100 viewport.
struct Corners {
    Point topLeft, bottomRight;
};

Corners Place(const char* aspect, ViewBox box = {0, 0, 50, 50}) {
    const Matrix m = ViewBoxTransform(box, ParsePreserveAspectRatio(aspect), 200, 100);
    return {m.Apply({box.x, box.y}), m.Apply({box.x + box.width, box.y + box.height})};
}

void ExpectCorners(const char* aspect, double x0, double y0, double x1, double y1, ViewBox box = {0, 0, 50, 50}) {
    const Corners c = Place(aspect, box);
    EXPECT_DOUBLE_EQ(c.topLeft.x, x0) << aspect;
    EXPECT_DOUBLE_EQ(c.topLeft.y, y0) << aspect;
    EXPECT_DOUBLE_EQ(c.bottomRight.x, x1) << aspect;
    EXPECT_DOUBLE_EQ(c.bottomRight.y, y1) << aspect;
}

TEST(SvgViewBox, MeetFitsInsideAndAligns) {
    // A 50 x 50 box in 200 x 100: scale 2, 100 wide, 100 px to spare across.
    ExpectCorners("xMinYMid meet", 0, 0, 100, 100);
    ExpectCorners("xMidYMid", 50, 0, 150, 100);
    ExpectCorners("xMaxYMax", 100, 0, 200, 100);
}

TEST(SvgViewBox, SliceCoversAndAligns) {
    // Scale 4: 200 x 200, 100 px too tall.
    ExpectCorners("xMidYMin slice", 0, 0, 200, 200);
    ExpectCorners("xMidYMid slice", 0, -50, 200, 150);
    ExpectCorners("xMinYMax slice", 0, -100, 200, 100);
}

TEST(SvgViewBox, NoneStretchesAndOffsetBoxesMove) {
    ExpectCorners("none", 0, 0, 200, 100);
    ExpectCorners("none slice", 0, 0, 200, 100);  // meet or slice mean nothing without alignment
    ExpectCorners("xMidYMid", 50, 0, 150, 100, {-25, 10, 50, 50});
    ExpectCorners("xMaxYMid", 0, 0, 200, 100, {100, 100, 400, 200});
    const Matrix degenerate = ViewBoxTransform({0, 0, 0, 10}, {}, 100, 100);
    EXPECT_TRUE(std::isfinite(degenerate.a) && std::isfinite(degenerate.e));
}

}  // namespace
}  // namespace document::svg
