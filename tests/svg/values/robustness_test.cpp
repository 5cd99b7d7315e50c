// Every grammar on hostile text: random mixes of the characters the grammars care about,
// truncations of valid values, and huge numbers. Nothing may crash (the sanitiser build turns
// any undefined behaviour into a failure), every result must be finite and an error offset
// must lie inside the text.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "document/svg/values/color.h"
#include "document/svg/values/length.h"
#include "document/svg/values/path_data.h"
#include "document/svg/values/transform.h"
#include "document/svg/values/viewbox.h"

namespace document::svg {
namespace {

bool Finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

void CheckPath(const PathData& data, std::string_view text) {
    if (data.error) {
        EXPECT_LE(data.errorOffset, text.size()) << text;
    }
    for (const Subpath& subpath : data.subpaths) {
        EXPECT_TRUE(Finite(subpath.start)) << text;
        EXPECT_TRUE(!subpath.segments.empty() || subpath.closed) << text;
        for (const PathSegmentData& segment : subpath.segments) {
            EXPECT_TRUE(Finite(segment.end)) << text;
            if (segment.kind == PathSegmentData::kCubic) {
                EXPECT_TRUE(Finite(segment.c1) && Finite(segment.c2)) << text;
            }
        }
    }
    // Bounded output: an arc becomes at most four cubics and needs at least eight characters.
    size_t segments = 0;
    for (const Subpath& subpath : data.subpaths) segments += subpath.segments.size();
    EXPECT_LE(segments, text.size()) << text;
}

void CheckMatrix(const std::optional<Matrix>& m, std::string_view text) {
    if (!m) return;
    for (double v : {m->a, m->b, m->c, m->d, m->e, m->f}) {
        EXPECT_TRUE(std::isfinite(v)) << text;
    }
}

void Exercise(const std::string& text) {
    CheckPath(ParsePathData(text), text);
    CheckPath(ParsePoints(text, true), text);
    CheckMatrix(ParseTransform(text), text);
    if (const auto number = ParseNumber(text)) {
        EXPECT_TRUE(std::isfinite(*number)) << text;
    }
    (void)ParseLength(text);
    (void)ParseNumberList(text);
    (void)ParseLengthList(text);
    if (const auto color = ParseColor(text)) {
        EXPECT_TRUE(color->rgb.alpha >= 0 && color->rgb.alpha <= 1) << text;
    }
    (void)ParsePaint(text);
    if (const auto box = ParseViewBox(text)) {
        EXPECT_GT(box->width, 0);
        EXPECT_GT(box->height, 0);
        const Matrix m = ViewBoxTransform(*box, ParsePreserveAspectRatio(text), 100, 100);
        (void)m;
    }
}

TEST(SvgValuesRobustness, RandomTextFromTheGrammarsAlphabet) {
    const std::string alphabet = "MmLlHhVvCcSsQqTtAaZz0123456789.,-+eE %#()/ \t\nrgbhslurlnonedegturnpxm";
    std::mt19937 random(12345);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
        Exercise(text);
    }
}

TEST(SvgValuesRobustness, TruncatedValidValues) {
    for (const std::string& valid : {
             std::string("M 10,20 c 1.5.5-1-2 3e1 4E-1 5 6 s 1 2 3 4 q 1 2 3 4 t 5 6 a 25 25 -30 0 1 50 -25 z"),
             std::string("rotate(45 10 10) translate(1e3,2) scale(.5) skewX(10) matrix(1 0 0 1 0 0)"),
             std::string("url(#grad) rgba(10%, 20%, 30%, .5)"), std::string("hsl(120deg 50% 50% / 10%)"),
             std::string("0 0 100.5 200"), std::string("defer xMinYMax slice"), std::string("#abcdef80"),
         }) {
        for (size_t cut = 0; cut <= valid.size(); ++cut) Exercise(valid.substr(0, cut));
    }
}

TEST(SvgValuesRobustness, ExtremeNumbers) {
    for (const char* text : {"M 1e308 1e308 A 1e308 1e-308 45 1 1 -1e308 -1e308",
                             "M 0 0 A 1e-308 1e-308 0 0 1 1e308 0", "M 0 0 A 1e308 1e308 0 1 0 1e-300 0",
                             "M 1e-320 0 A 1 1 0 0 0 0 1e-320", "M 0 0 A 1 1 1e308 0 0 1 1",
                             "M 0 0 A 5 5 0 0 1 10 0.0000000000000001", "M 1e308 0 a 1 1 0 0 0 1e308 0",
                             "rotate(1e308)", "rotate(1e300 1e300 1e300)", "skewX(1e308)", "scale(1e-308)",
                             "hsl(1e308turn, 50%, 50%)", "rgb(1e308, -1e308, 1e308%)", "0 0 1e308 1e308",
                             "0000000000000000000000000000000000000001e-30", "1e-2147483649", "1e99999999999999"}) {
        Exercise(text);
    }
    // Long input is handled in one pass: a million segments is fine.
    std::string big = "M0 0";
    for (int i = 0; i < 200000; ++i) big += " a.5 .5 0 0 1 1 0";
    const PathData data = ParsePathData(big);
    EXPECT_FALSE(data.error);
    ASSERT_EQ(data.subpaths.size(), 1u);
    EXPECT_EQ(data.subpaths[0].segments.size(), 400000u);  // each a half circle: two quarters
}

}  // namespace
}  // namespace document::svg
