// SVG gradients as the brushes the plug-in writes for them: points, radii and the brush
// transform, against values worked out by hand from the SVG.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/svg/svg_reader.h"
#include "export_through_module.h"

namespace {

std::string Xaml(const std::string& svg) {
    return svg_test::ExportXaml(document::svg::ReadSvg(svg, "test.svg").document);
}

// The comma- or blank-separated numbers of the attribute `name` in the first element that has it.
std::vector<double> Numbers(const std::string& xaml, const std::string& name) {
    const size_t at = xaml.find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const size_t begin = at + name.size() + 3;
    const std::string value = xaml.substr(begin, xaml.find('"', begin) - begin);
    std::vector<double> numbers;
    const char* p = value.c_str();
    while (*p) {
        char* end = nullptr;
        numbers.push_back(std::strtod(p, &end));
        p = end;
        while (*p == ',' || *p == ' ') ++p;
    }
    return numbers;
}

void ExpectNumbers(const std::string& xaml, const std::string& name, const std::vector<double>& expected) {
    const std::vector<double> actual = Numbers(xaml, name);
    ASSERT_EQ(actual.size(), expected.size()) << name << " in\n" << xaml;
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5) << name << " " << i;
}

const std::string kBlackToWhite = R"x(<stop offset="0" stop-color="#000"/><stop offset="1" stop-color="#fff"/>)x";

TEST(GradientBrush, BoundingBoxUnitsMapTheUnitSquareOntoTheShape) {
    // The rect lies at (10, 20) 100 x 50; in the output it is at the origin (the extents' corner),
    // so the brush's unit square must map to (0, 0) 100 x 50.
    const std::string xaml = Xaml(R"x(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="200">
        <linearGradient id="g">)x" + kBlackToWhite + R"x(</linearGradient>
        <rect x="10" y="20" width="100" height="50" fill="url(#g)"/></svg>)x");
    ExpectNumbers(xaml, "StartPoint", {0, 0});
    ExpectNumbers(xaml, "EndPoint", {1, 0});
    ExpectNumbers(xaml, "Matrix", {100, 0, 0, 50, 0, 0});
    EXPECT_NE(xaml.find(R"x(<GradientStop Offset="0.000000" Color="#ff000000"/>)x"), std::string::npos);
    EXPECT_NE(xaml.find(R"x(<GradientStop Offset="1.000000" Color="#ffffffff"/>)x"), std::string::npos);
}

TEST(GradientBrush, AVerticalBoundingBoxGradientRunsDownTheShape) {
    // x1=0 y1=0 x2=0 y2=1: from the top of the shape to its bottom, in y-down output.
    const std::string xaml = Xaml(R"x(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100">
        <linearGradient id="g" x2="0" y2="1">)x" + kBlackToWhite + R"x(</linearGradient>
        <rect x="0" y="0" width="40" height="80" fill="url(#g)"/></svg>)x");
    const std::vector<double> start = Numbers(xaml, "StartPoint"), end = Numbers(xaml, "EndPoint");
    const std::vector<double> m = Numbers(xaml, "Matrix");
    ASSERT_EQ(m.size(), 6u);
    ASSERT_EQ(end.size(), 2u);
    // The end point through the brush transform: the rect's bottom left, (0, 80).
    EXPECT_NEAR(m[0] * end[0] + m[2] * end[1] + m[4], 0, 1e-4);
    EXPECT_NEAR(m[1] * end[0] + m[3] * end[1] + m[5], 80, 1e-4);
    EXPECT_NEAR(m[0] * start[0] + m[2] * start[1] + m[4], 0, 1e-4);
    EXPECT_NEAR(m[1] * start[0] + m[3] * start[1] + m[5], 0, 1e-4);
}

TEST(GradientBrush, ARadialGradientInUserSpaceKeepsItsCentreRadiusAndFocus) {
    // The circle (10..90) lands at the output's origin: the brush moves by (-10, -10).
    const std::string xaml = Xaml(R"x(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100">
        <radialGradient id="r" gradientUnits="userSpaceOnUse" cx="50" cy="50" r="40" fx="70" fy="50">)x" +
                                  kBlackToWhite + R"x(</radialGradient>
        <circle cx="50" cy="50" r="40" fill="url(#r)"/></svg>)x");
    ExpectNumbers(xaml, "GradientOrigin", {70, 50});
    ExpectNumbers(xaml, "Center", {50, 50});
    ExpectNumbers(xaml, "RadiusX", {40});
    ExpectNumbers(xaml, "RadiusY", {40});
    ExpectNumbers(xaml, "Matrix", {1, 0, 0, 1, -10, -10});
}

TEST(GradientBrush, TheGradientTransformStaysInTheBrushTransform) {
    // rotate(90) about the origin in user space; the 10 x 10 square sits at the output's origin,
    // so the brush transform is the rotation itself.
    const std::string xaml = Xaml(R"x(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10">
        <linearGradient id="g" gradientUnits="userSpaceOnUse" x2="10" gradientTransform="rotate(90)">)x" +
                                  kBlackToWhite + R"x(</linearGradient>
        <rect width="10" height="10" fill="url(#g)"/></svg>)x");
    ExpectNumbers(xaml, "StartPoint", {0, 0});
    ExpectNumbers(xaml, "EndPoint", {10, 0});
    ExpectNumbers(xaml, "Matrix", {0, 1, -1, 0, 0, 0});
}

TEST(GradientBrush, ABoundingBoxRadialOfAWideShapeIsAnEllipse) {
    // r = 50% of a 200 x 100 box: radii 100 and 50 in the output, centred on the shape.
    const std::string xaml = Xaml(R"x(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100">
        <radialGradient id="r">)x" + kBlackToWhite + R"x(</radialGradient>
        <rect width="200" height="100" fill="url(#r)"/></svg>)x");
    const std::vector<double> c = Numbers(xaml, "Center"), r = Numbers(xaml, "RadiusX");
    const std::vector<double> m = Numbers(xaml, "Matrix");
    ASSERT_EQ(m.size(), 6u);
    ASSERT_EQ(c.size(), 2u);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_NEAR(m[0] * c[0] + m[2] * c[1] + m[4], 100, 1e-4);
    EXPECT_NEAR(m[1] * c[0] + m[3] * c[1] + m[5], 50, 1e-4);
    EXPECT_NEAR(std::hypot(m[0], m[1]) * r[0], 100, 1e-4);  // the radius along x
    EXPECT_NEAR(std::hypot(m[2], m[3]) * r[0], 50, 1e-4);   // and along y
}

}  // namespace
