// The reader on input the host cannot hold or that SVG calls in error: clear errors, warnings
// in the loss report, no crash and no hang.
#include <gtest/gtest.h>

#include <string>

#include "document/svg/svg_reader.h"
#include "export_through_module.h"

namespace document::svg {
namespace {

const std::string kOpen = R"x(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100" height="300">)x";

ReadResult Read(const std::string& body) {
    return ReadSvg(kOpen + body + "</svg>", "test.svg");
}

bool Reported(const ReadResult& result, const std::string& kindPart) {
    for (const auto& entry : result.losses.Entries()) {
        if (entry.kind.find(kindPart) != std::string::npos) return true;
    }
    return false;
}

const Art& OnlyArt(const ReadResult& result) {
    EXPECT_EQ(result.document.layers.size(), 1u);
    EXPECT_EQ(result.document.layers.front()->children.size(), 1u);
    return *result.document.layers.front()->children.front();
}

TEST(Reader, TheRootViewportIsFlippedIntoTheDocument) {
    const ReadResult result = Read(R"x(<path d="M 10 20 L 30 40"/>)x");
    const Matrix& m = result.viewportToDocument;
    EXPECT_EQ(m.a, 1);
    EXPECT_EQ(m.b, 0);
    EXPECT_EQ(m.c, 0);
    EXPECT_EQ(m.d, -1);
    EXPECT_EQ(m.e, 0);
    EXPECT_EQ(m.f, 300);
    const Art& path = OnlyArt(result);
    ASSERT_EQ(path.segments.size(), 2u);
    EXPECT_EQ(path.segments[0].p.h, 10);
    EXPECT_EQ(path.segments[0].p.v, 280);
    EXPECT_EQ(path.segments[1].p.h, 30);
    EXPECT_EQ(path.segments[1].p.v, 260);
}

TEST(Reader, TheRootViewportSizeIsTheOneARendererGivesTheRoot) {
    const ReadResult sized = Read("");
    EXPECT_EQ(sized.viewportWidth, 100);
    EXPECT_EQ(sized.viewportHeight, 300);
    // Absolute units at 96 px to the inch; without width and height, the view box's size; a
    // percentage of the view box's side; without either, 100 by 100.
    const struct {
        const char* attributes;
        double width, height;
    } cases[] = {
        {R"x(width="1in" height="72pt")x", 96, 96},
        {R"x(viewBox="0 0 40 30")x", 40, 30},
        {R"x(viewBox="5 5 40 30" width="50%")x", 20, 30},
        {"", 100, 100},
    };
    for (const auto& c : cases) {
        const ReadResult result =
            ReadSvg(std::string(R"x(<svg xmlns="http://www.w3.org/2000/svg" )x") + c.attributes + "/>", "test.svg");
        EXPECT_EQ(result.viewportWidth, c.width) << c.attributes;
        EXPECT_EQ(result.viewportHeight, c.height) << c.attributes;
        EXPECT_EQ(result.viewportToDocument.f, c.height) << c.attributes;
    }
}

TEST(Reader, ASubpathOfMoreAnchorsThanTheHostCountsIsAnErrorNamingTheElement) {
    std::string d = "M0 0";
    for (int i = 0; i < 32767; ++i) d += " L" + std::to_string(i % 100) + " 1";
    try {
        Read(R"x(<g><path id="long" d=")x" + d + R"x("/></g>)x");
        FAIL() << "no error";
    } catch (const SvgError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("test.svg"), std::string::npos) << message;
        EXPECT_NE(message.find("\"long\""), std::string::npos) << message;
        EXPECT_NE(message.find("32768 anchors"), std::string::npos) << message;
    }
    // One anchor fewer is a path like any other.
    d.resize(d.rfind(" L"));
    EXPECT_EQ(OnlyArt(Read(R"x(<path d=")x" + d + R"x("/>)x")).segments.size(), 32767u);
}

TEST(Reader, AMissingPaintServerPaintsTheFallbackOrNothingWithAWarning) {
    ReadResult result = Read(R"x(<rect width="10" height="10" fill="url(#nowhere)"/>)x");
    EXPECT_EQ(OnlyArt(result).Style().fillPaint, 0);
    EXPECT_TRUE(Reported(result, "missing paint server"));

    result = Read(R"x(<rect width="10" height="10" fill="url(#nowhere) #ff0000"/>)x");
    const Art& art = OnlyArt(result);
    EXPECT_EQ(art.Style().fillPaint, 1);
    EXPECT_EQ(art.Style().fill.color.kind, kThreeColor);
    EXPECT_EQ(art.Style().fill.color.c.rgb.red, 1.0f);
    EXPECT_TRUE(Reported(result, "missing paint server"));
}

TEST(Reader, ShapesOfTheSamePaintShareTheirStyle) {
    const ReadResult result = Read(R"x(
        <rect width="10" height="10" fill="red"/><circle r="4" fill="#f00"/><rect width="1" height="1" fill="blue"/>)x");
    std::vector<const Art*> red;
    std::vector<const Art*> blue;
    for (const auto& art : result.document.layers.at(0)->children) {
        const PathStyle& style = art->Style();
        if (style.fill.color.kind != kThreeColor) continue;
        (style.fill.color.c.rgb.red == 1.0f ? red : blue).push_back(art.get());
    }
    ASSERT_EQ(red.size(), 2u);
    ASSERT_EQ(blue.size(), 1u);
    EXPECT_EQ(red[0]->SharedStyleOf(), red[1]->SharedStyleOf());
    EXPECT_NE(red[0]->SharedStyleOf(), blue[0]->SharedStyleOf());
}

TEST(Reader, AGradientHrefCycleIsReportedAndEnds) {
    const ReadResult result = Read(R"x(
        <linearGradient id="a" xlink:href="#b"/>
        <linearGradient id="b" xlink:href="#a"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient>
        <rect width="10" height="10" fill="url(#a)"/>)x");
    EXPECT_TRUE(Reported(result, "href cycle"));
    EXPECT_EQ(OnlyArt(result).Style().fill.color.kind, kGradientColor);
}

TEST(Reader, NumbersThatAreNoNumbersLeaveTheAttributeOut) {
    // No width, a radius that is not finite, junk in the path data after the first segment.
    const ReadResult result = Read(R"x(<rect width="abc" height="10"/><circle r="1e999"/>
        <path id="p" d="M 0 0 L 10 10 L x 3"/>)x");
    const Art& path = OnlyArt(result);
    EXPECT_EQ(path.segments.size(), 2u);
    EXPECT_TRUE(Reported(result, "path data with an error"));
}

TEST(Reader, NestingAsDeepAsTheHostAllowsIsReadWithoutRecursion) {
    const int depth = 32000;
    std::string body;
    for (int i = 0; i < depth; ++i) body += "<g>";
    body += R"x(<rect width="1" height="1"/>)x";
    for (int i = 0; i < depth; ++i) body += "</g>";
    const ReadResult result = Read(body);
    ASSERT_EQ(result.document.layers.size(), 1u);
    const Art* art = result.document.layers.front().get();
    int levels = 0;
    while (!art->children.empty()) art = art->children.front().get(), ++levels;
    // Below 1000 levels the groups that change nothing are dissolved (reported), so that the
    // export's 16192 objects reach the shapes.
    EXPECT_EQ(levels, 1000);
    EXPECT_EQ(art->type, kPathArt);
    EXPECT_TRUE(Reported(result, "nested deeper"));
}

}  // namespace
}  // namespace document::svg

namespace document::svg {
namespace {

TEST(Reader, NestingAsDeepAsTheHostAllowsExportsItsShapes) {
    const int depth = 32000;
    std::string body;
    for (int i = 0; i < depth; ++i) body += "<g>";
    body += R"x(<rect width="1" height="1"/>)x";
    for (int i = 0; i < depth; ++i) body += "</g>";
    ReadResult result = Read(body);
    const std::string xaml = svg_test::ExportXaml(std::move(result.document));
    EXPECT_NE(xaml.find("<Path"), std::string::npos);
}

}  // namespace
}  // namespace document::svg
