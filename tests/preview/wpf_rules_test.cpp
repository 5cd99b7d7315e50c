// The rules where WPF draws otherwise than SVG: dash lengths in thicknesses with caps of their
// own, a miter cut off at the limit, group against element opacity, hidden canvases, a clip
// geometry's own fill rule; and the examples, whose three forms draw the same picture.
#include <gtest/gtest.h>

#include "preview_test_support.h"

namespace {

using preview_test::Alpha;
using preview_test::DrawBody;
using preview_test::DrawText;
using preview_test::Near;
using preview_test::ReadFile;

std::string Line(const std::string& attributes) {
    return "<Path Data=\"M 10,50 L 90,50\" Stroke=\"#ff000000\" StrokeThickness=\"10\" " + attributes + "/>";
}

TEST(WpfRules, DashLengthsAreInThicknessesAndDashCapsAreApartFromTheLineCaps) {
    // Dashes of 2 and gaps of 2 thicknesses: ink from 10 to 30 and 50 to 70, none from 30 to 50.
    const preview::Picture flat = DrawBody(Line("StrokeDashArray=\"2 2\""));
    EXPECT_GT(Alpha(flat.PixelAt(20, 50)), 250);
    EXPECT_GT(Alpha(flat.PixelAt(60, 50)), 250);
    EXPECT_EQ(Alpha(flat.PixelAt(33, 50)), 0) << "the dash caps are flat by default";
    EXPECT_EQ(Alpha(flat.PixelAt(47, 50)), 0);

    // Square dash caps reach half a thickness into each gap; the line's own caps stay flat.
    const preview::Picture square = DrawBody(Line("StrokeDashArray=\"2 2\" StrokeDashCap=\"Square\""));
    EXPECT_GT(Alpha(square.PixelAt(33, 50)), 250);
    EXPECT_GT(Alpha(square.PixelAt(47, 50)), 250);
    EXPECT_EQ(Alpha(square.PixelAt(40, 50)), 0);
    EXPECT_EQ(Alpha(square.PixelAt(7, 50)), 0) << "the start cap is the line's, not the dashes'";

    // A square start cap on flat dashes.
    const preview::Picture ends = DrawBody(Line("StrokeDashArray=\"2 2\" StrokeStartLineCap=\"Square\""));
    EXPECT_GT(Alpha(ends.PixelAt(7, 50)), 250);
    EXPECT_EQ(Alpha(ends.PixelAt(33, 50)), 0);
}

TEST(WpfRules, AMiterBeyondTheLimitIsCutOffAtTheLimitNotBevelled) {
    // A sharp V pointing up with its apex at (50, 10): the full miter reaches 11.2 above the
    // apex, the bevel 2.2 above it; at a limit of 1 the miter is cut 5 above it.
    const std::string v = "<Path Data=\"M 10,90 L 50,10 L 90,90\" Stroke=\"#ff000000\" StrokeThickness=\"10\" ";
    const preview::Picture full = DrawBody(v + "/>");
    EXPECT_GT(Alpha(full.PixelAt(50, 6)), 200);
    EXPECT_GT(Alpha(full.PixelAt(50, 1)), 200);

    const preview::Picture cut = DrawBody(v + "StrokeMiterLimit=\"1\"/>");
    EXPECT_GT(Alpha(cut.PixelAt(50, 6)), 200) << "a bevel would leave this pixel bare";
    EXPECT_EQ(Alpha(cut.PixelAt(50, 1)), 0);
    EXPECT_EQ(Alpha(cut.PixelAt(50, 3)), 0);

    const preview::Picture bevel = DrawBody(v + "StrokeLineJoin=\"Bevel\"/>");
    EXPECT_EQ(Alpha(bevel.PixelAt(50, 6)), 0);
}

TEST(WpfRules, ACanvasFadesAsAGroupAPathAsOneElement) {
    const std::string twoSquares =
        "<Path Data=\"M 10,10 L 60,10 L 60,60 L 10,60 Z\" Fill=\"#ff000000\" %/>"
        "<Path Data=\"M 40,40 L 90,40 L 90,90 L 40,90 Z\" Fill=\"#ff000000\" %/>";
    auto with = [&](const std::string& pathOpacity) {
        std::string body = twoSquares;
        for (size_t at = body.find('%'); at != std::string::npos; at = body.find('%')) body.replace(at, 1, pathOpacity);
        return body;
    };
    // The canvas's children are composited first: the overlap is as faint as the rest.
    const preview::Picture group = DrawBody("<Canvas Opacity=\"0.5\">" + with("") + "</Canvas>");
    EXPECT_NEAR(Alpha(group.PixelAt(50, 50)), 128, 3);
    EXPECT_NEAR(Alpha(group.PixelAt(20, 20)), 128, 3);
    // Each path faded on its own: where they overlap, one shows through the other.
    const preview::Picture each = DrawBody(with("Opacity=\"0.5\""));
    EXPECT_NEAR(Alpha(each.PixelAt(50, 50)), 191, 3);
    EXPECT_NEAR(Alpha(each.PixelAt(20, 20)), 128, 3);
    // A path's stroke over its own fill is one element: the stroke does not darken the fill.
    const preview::Picture stroked = DrawBody(
        "<Path Data=\"M 10,10 L 90,10 L 90,90 L 10,90 Z\" Fill=\"#ff000000\" Stroke=\"#ff000000\" "
        "StrokeThickness=\"20\" Opacity=\"0.5\"/>");
    EXPECT_NEAR(Alpha(stroked.PixelAt(12, 50)), 128, 3);
}

TEST(WpfRules, HiddenAndCollapsedCanvasesDrawNoneOfTheirChildren) {
    const std::string square = "<Path Data=\"M 10,10 L 90,10 L 90,90 L 10,90 Z\" Fill=\"#ff0000ff\"/>";
    EXPECT_GT(Alpha(DrawBody("<Canvas>" + square + "</Canvas>").PixelAt(50, 50)), 250);
    for (const char* hidden : {"Hidden", "Collapsed"}) {
        const preview::Picture picture = DrawBody(std::string("<Canvas Visibility=\"") + hidden + "\">" + square + "</Canvas>");
        EXPECT_EQ(Alpha(picture.PixelAt(50, 50)), 0) << hidden;
        EXPECT_EQ(Alpha(DrawBody(std::string("<Path Visibility=\"") + hidden +
                                 "\" Data=\"M 10,10 L 90,10 L 90,90 L 10,90 Z\" Fill=\"#ff0000ff\"/>")
                            .PixelAt(50, 50)),
                  0)
            << hidden;
    }
}

TEST(WpfRules, AClipGeometryIsEvenOddUnlessItSaysNonzero) {
    // Two squares of the same winding, one inside the other.
    const std::string rings = "M 0,0 L 100,0 L 100,100 L 0,100 Z M 25,25 L 75,25 L 75,75 L 25,75 Z";
    const std::string fill = "<Path Data=\"M 0,0 L 100,0 L 100,100 L 0,100 Z\" Fill=\"#ff000000\"/>";
    auto clipped = [&](const std::string& figures) {
        return DrawBody("<Canvas>" + fill + "<Canvas.Clip><PathGeometry Figures=\"" + figures +
                        "\"/></Canvas.Clip></Canvas>");
    };
    const preview::Picture evenOdd = clipped(rings);
    EXPECT_GT(Alpha(evenOdd.PixelAt(10, 10)), 250);
    EXPECT_EQ(Alpha(evenOdd.PixelAt(50, 50)), 0);
    const preview::Picture nonzero = clipped("F1 " + rings);
    EXPECT_GT(Alpha(nonzero.PixelAt(50, 50)), 250);
}

TEST(Examples, TheThreeFormsOfEachExampleDrawTheSamePicture) {
    for (const char* example : {"badge", "city-map", "icons"}) {
        const std::string folder = std::string(QUILLMARK_GOLDEN_FOLDER) + "/" + example;
        const preview::Scene canvas = preview::ReadXaml(ReadFile(folder + ".wpfe.xaml"), "wpfe");
        preview::DrawOptions options;
        options.width = 200;
        const preview::Picture reference = preview::Draw(canvas, options);
        ASSERT_GT(reference.Width(), 0);
        int inked = 0;
        for (const char* form : {"wpf", "drawingbrush"}) {
            const std::string name = std::string(example) + "." + form + ".xaml";
            const preview::Picture picture = preview::Draw(preview::ReadXaml(ReadFile(folder + "." + form + ".xaml"), name), options);
            ASSERT_EQ(picture.Width(), reference.Width()) << name;
            ASSERT_EQ(picture.Height(), reference.Height()) << name;
            int differing = 0, sampled = 0;
            for (int y = 1; y < reference.Height() - 1; y += 7) {
                for (int x = 1; x < reference.Width() - 1; x += 7) {
                    ++sampled;
                    if (Alpha(reference.PixelAt(x, y)) > 0) ++inked;
                    if (!Near(picture.PixelAt(x, y), reference.PixelAt(x, y), 8)) ++differing;
                }
            }
            // The drawing-brush form has no visibility: a hidden path of the icons shows there.
            const int allowed = std::string(form) == "drawingbrush" && std::string(example) == "icons" ? sampled / 10 : sampled / 100;
            EXPECT_LE(differing, allowed) << name << ": " << differing << " of " << sampled << " sampled pixels differ";
        }
        EXPECT_GT(inked, 0) << example << " draws nothing";
    }
}

}  // namespace
