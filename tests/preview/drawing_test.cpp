// Drawing the element forms: paths filled and stroked, colours, the path markup's commands,
// canvases and their offsets, viewboxes, rectangles, gradients and drawing brushes, checked
// at chosen pixels.
#include <gtest/gtest.h>

#include "preview_test_support.h"

namespace {

using preview_test::Alpha;
using preview_test::DrawBody;
using preview_test::DrawText;
using preview_test::kWpf;

constexpr uint32_t kRed = 0xffff0000, kBlue = 0xff0000ff, kGreen = 0xff008000, kNone = 0;
const std::string kSquare = "M 20,20 L 80,20 L 80,80 L 20,80 Z";

TEST(DrawPath, FillsInsideTheOutlineOnly) {
    const preview::Picture picture = DrawBody("<Path Fill=\"#ffff0000\" Data=\"" + kSquare + "\"/>");
    EXPECT_EQ(picture.Width(), 100);
    EXPECT_EQ(picture.Height(), 100);
    EXPECT_PIXEL(picture, 50, 50, kRed);
    EXPECT_PIXEL(picture, 10, 50, kNone);
    EXPECT_PIXEL(picture, 90, 90, kNone);
}

TEST(DrawPath, StrokesAlongTheOutlineWithItsThickness) {
    const preview::Picture picture =
        DrawBody("<Path Stroke=\"Blue\" StrokeThickness=\"10\" Data=\"" + kSquare + "\"/>");
    EXPECT_PIXEL(picture, 50, 20, kBlue);
    EXPECT_PIXEL(picture, 50, 16, kBlue);
    EXPECT_PIXEL(picture, 50, 12, kNone);
    EXPECT_PIXEL(picture, 50, 50, kNone);
    // A miter join: the corner is square.
    EXPECT_PIXEL(picture, 17, 17, kBlue);
}

TEST(DrawPath, ColoursInEveryForm) {
    auto colourOf = [](const std::string& colour) {
        return DrawBody("<Path Fill=\"" + colour + "\" Data=\"" + kSquare + "\"/>").PixelAt(50, 50);
    };
    EXPECT_EQ(colourOf("#ff0000"), kRed);
    EXPECT_EQ(colourOf("#f00"), kRed);
}

TEST(DrawPath, ColourNamesAndAlpha) {
    EXPECT_EQ(DrawBody("<Path Fill=\"green\" Data=\"" + kSquare + "\"/>").PixelAt(50, 50), kGreen);
    EXPECT_EQ(DrawBody("<Path Fill=\"LightSlateGray\" Data=\"" + kSquare + "\"/>").PixelAt(50, 50), 0xff778899u);
    EXPECT_EQ(DrawBody("<Path Fill=\"Transparent\" Data=\"" + kSquare + "\"/>").PixelAt(50, 50), 0u);
    const uint32_t half = DrawBody("<Path Fill=\"#800000ff\" Data=\"" + kSquare + "\"/>").PixelAt(50, 50);
    EXPECT_NEAR(Alpha(half), 128, 1);
    EXPECT_EQ(half & 0xffffff, 0x0000ffu);
    EXPECT_EQ(DrawBody("<Path Fill=\"#8f00\" Data=\"" + kSquare + "\"/>").PixelAt(50, 50), 0x88ff0000u);
}

TEST(DrawPath, FillAndStrokeAsPropertyElements) {
    const preview::Picture picture = DrawBody(
        "<Path StrokeThickness=\"4\" Data=\"" + kSquare + "\"><Path.Fill><SolidColorBrush Color=\"Red\"/></Path.Fill>"
        "<Path.Stroke><SolidColorBrush Color=\"Blue\" Opacity=\"1\"/></Path.Stroke></Path>");
    EXPECT_PIXEL(picture, 50, 50, kRed);
    EXPECT_PIXEL(picture, 50, 20, kBlue);
}

TEST(DrawPath, EveryCommandOfTheMarkup) {
    struct Case {
        const char* data;
        int x, y;  // a pixel inside
        int outX, outY;  // a pixel outside
    };
    const Case cases[] = {
        {"m 20,20 l 60,0 l 0,60 l -60,0 z", 50, 50, 10, 10},
        {"M 20,20 H 80 V 80 H 20 Z", 50, 50, 90, 50},
        {"M 20,20 h 60 v 60 h -60 z", 70, 70, 50, 90},
        {"M 20,20 80,20 80,80 20,80 Z", 75, 75, 50, 10},  // points after M are lines
        {"M 10,50 A 40,40 0 1 1 90,50 A 40,40 0 1 1 10,50 Z", 50, 85, 15, 15},  // a circle
        {"M 10,50 a 40,40 0 0 0 80,0 Z", 50, 80, 50, 20},                         // the lower half
        {"M 10,90 Q 50,-70 90,90 Z", 50, 40, 50, 5},
        {"M 10,90 Q 30,10 50,90 T 90,90 Z", 30, 70, 70, 70},  // T bends the other way: no fill there
        {"M 10,50 C 10,10 50,10 50,50 S 90,90 90,50 Z", 53, 65, 70, 30},  // S mirrors 50,10 to 50,90
        {"M 10,90 C 10,10 90,10 90,90 Z", 50, 50, 50, 15},
        {"F1 M 20,20 L 80,20 L 80,80 L 20,80 Z", 50, 50, 10, 50},
        {"M20 20L80 20 80 80 20 80z", 50, 50, 90, 90},
        {"M 20,20 L 80,20 L 80,80 Z L 20,80 L 80,80 Z", 30, 70, 70, 10},  // after Z a figure starts at 20,20
    };
    for (const Case& c : cases) {
        const preview::Picture picture = DrawBody(std::string("<Path Fill=\"Red\" Data=\"") + c.data + "\"/>");
        EXPECT_PIXEL(picture, c.x, c.y, kRed) << c.data;
        EXPECT_PIXEL(picture, c.outX, c.outY, kNone) << c.data;
    }
}

TEST(DrawPath, OpacityOfTheWholeElement) {
    const preview::Picture picture = DrawBody("<Path Fill=\"Red\" Opacity=\"0.5\" Data=\"" + kSquare + "\"/>");
    EXPECT_NEAR(Alpha(picture.PixelAt(50, 50)), 128, 1);
    // Fill and stroke together are one picture made half transparent: where the stroke covers
    // the fill, only the stroke's colour shows.
    const preview::Picture both = DrawBody("<Path Fill=\"Red\" Stroke=\"Blue\" StrokeThickness=\"10\" Opacity=\"0.5\" Data=\"" +
                                           kSquare + "\"/>");
    EXPECT_PIXEL(both, 50, 22, 0x800000ff);
    EXPECT_PIXEL(both, 50, 50, 0x80ff0000);
}

TEST(DrawCanvas, ChildrenAreMovedByCanvasLeftAndTopAndCanvasesNest) {
    const preview::Picture picture = DrawBody(
        "<Canvas Canvas.Left=\"30\" Canvas.Top=\"40\"><Path Fill=\"Red\" Data=\"M 0,0 L 10,0 L 10,10 L 0,10 Z\"/>"
        "<Canvas Canvas.Left=\"20\"><Path Canvas.Top=\"20\" Fill=\"Blue\" Data=\"M 0,0 L 10,0 L 10,10 L 0,10 Z\"/></Canvas>"
        "</Canvas>");
    EXPECT_PIXEL(picture, 35, 45, kRed);
    EXPECT_PIXEL(picture, 5, 5, kNone);
    EXPECT_PIXEL(picture, 55, 65, kBlue);
}

TEST(DrawCanvas, BackgroundFillsItsSize) {
    const preview::Picture picture = DrawBody("<Canvas Width=\"50\" Height=\"20\" Background=\"Blue\"/>");
    EXPECT_PIXEL(picture, 45, 15, kBlue);
    EXPECT_PIXEL(picture, 55, 15, kNone);
}

TEST(DrawCanvas, RenderTransformAppliesAfterTheOffset) {
    // Scaled by 2 about the element's own origin, then moved to (10, 10).
    const preview::Picture picture = DrawBody(
        "<Path Canvas.Left=\"10\" Canvas.Top=\"10\" Fill=\"Red\" Data=\"M 0,0 L 10,0 L 10,10 L 0,10 Z\">"
        "<Path.RenderTransform><MatrixTransform Matrix=\"2,0,0,2,0,0\"/></Path.RenderTransform></Path>");
    EXPECT_PIXEL(picture, 28, 28, kRed);
    EXPECT_PIXEL(picture, 32, 32, kNone);
    EXPECT_PIXEL(picture, 8, 8, kNone);
}

TEST(DrawRectangle, FillsItsWidthAndHeight) {
    const preview::Picture picture =
        DrawBody("<Rectangle Canvas.Left=\"10\" Canvas.Top=\"10\" Width=\"30\" Height=\"20\" Fill=\"Green\"/>");
    EXPECT_PIXEL(picture, 38, 28, kGreen);
    EXPECT_PIXEL(picture, 42, 28, kNone);
    EXPECT_PIXEL(picture, 38, 32, kNone);
}

TEST(DrawLinearGradient, AbsoluteAndRelativeToTheBoundingBox) {
    const std::string stops =
        "<GradientStop Offset=\"0\" Color=\"#ff000000\"/><GradientStop Offset=\"1\" Color=\"#ffffffff\"/>";
    const preview::Picture absolute = DrawBody(
        "<Path Data=\"M 0,0 L 100,0 L 100,100 L 0,100 Z\"><Path.Fill><LinearGradientBrush MappingMode=\"Absolute\" "
        "StartPoint=\"0,0\" EndPoint=\"100,0\"><LinearGradientBrush.GradientStops>" + stops +
        "</LinearGradientBrush.GradientStops></LinearGradientBrush></Path.Fill></Path>");
    EXPECT_NEAR(preview_test::Red(absolute.PixelAt(25, 50)), 64, 3);
    EXPECT_NEAR(preview_test::Red(absolute.PixelAt(75, 10)), 191, 3);
    // Relative: 0,0 and 1,0 are the corners of the outline's bounds (50 to 100).
    const preview::Picture relative = DrawBody(
        "<Path Data=\"M 50,0 L 100,0 L 100,100 L 50,100 Z\"><Path.Fill><LinearGradientBrush StartPoint=\"0,0\" "
        "EndPoint=\"1,0\">" + stops + "</LinearGradientBrush></Path.Fill></Path>");
    EXPECT_NEAR(preview_test::Red(relative.PixelAt(62, 50)), 64, 4);
    EXPECT_NEAR(preview_test::Red(relative.PixelAt(88, 50)), 194, 4);
    EXPECT_EQ(relative.PixelAt(25, 50), 0u);
}

TEST(DrawLinearGradient, TheBrushTransformCarriesTheGradient) {
    // The gradient runs along y in brush space; the transform turns it to run along x.
    const preview::Picture picture = DrawBody(
        "<Path Data=\"M 0,0 L 100,0 L 100,100 L 0,100 Z\"><Path.Fill><LinearGradientBrush MappingMode=\"Absolute\" "
        "StartPoint=\"0,0\" EndPoint=\"0,100\"><LinearGradientBrush.GradientStops>"
        "<GradientStop Offset=\"0\" Color=\"Black\"/><GradientStop Offset=\"1\" Color=\"White\"/>"
        "</LinearGradientBrush.GradientStops><LinearGradientBrush.Transform><MatrixTransform Matrix=\"0,1,1,0,0,0\"/>"
        "</LinearGradientBrush.Transform></LinearGradientBrush></Path.Fill></Path>");
    EXPECT_NEAR(preview_test::Red(picture.PixelAt(25, 90)), 64, 3);
    EXPECT_NEAR(preview_test::Red(picture.PixelAt(25, 10)), 64, 3);
}

TEST(DrawRadialGradient, CentreRadiiAndOrigin) {
    const std::string body =
        "<Path Data=\"M 0,0 L 100,0 L 100,100 L 0,100 Z\"><Path.Fill><RadialGradientBrush MappingMode=\"Absolute\" "
        "Center=\"50,50\" GradientOrigin=\"%O\" RadiusX=\"40\" RadiusY=\"20\"><RadialGradientBrush.GradientStops>"
        "<GradientStop Offset=\"0\" Color=\"White\"/><GradientStop Offset=\"1\" Color=\"Black\"/>"
        "</RadialGradientBrush.GradientStops></RadialGradientBrush></Path.Fill></Path>";
    auto with = [&](const std::string& origin) {
        std::string text = body;
        text.replace(text.find("%O"), 2, origin);
        return DrawBody(text);
    };
    const preview::Picture centred = with("50,50");
    // Pixel centres are half a pixel off the points: (70.5, 50.5) is 20.5 of RadiusX 40 away.
    EXPECT_GT(preview_test::Red(centred.PixelAt(50, 50)), 240);
    EXPECT_NEAR(preview_test::Red(centred.PixelAt(70, 50)), 124, 4);
    EXPECT_NEAR(preview_test::Red(centred.PixelAt(50, 60)), 121, 4);  // 10.5 of RadiusY 20
    EXPECT_PIXEL(centred, 50, 75, 0xff000000);                        // beyond: padded
    const preview::Picture offCentre = with("70,50");
    EXPECT_GT(preview_test::Red(offCentre.PixelAt(70, 50)), 235);
    EXPECT_LT(preview_test::Red(offCentre.PixelAt(50, 50)), 250);
}

TEST(DrawDrawingBrush, TheDrawingIsStretchedFromItsViewboxToTheRectangle) {
    const std::string rectangle =
        "<Rectangle Width=\"100\" Height=\"100\"><Rectangle.Fill><DrawingBrush %V><DrawingBrush.Drawing><DrawingGroup>"
        "<DrawingGroup.Children><GeometryDrawing Brush=\"Red\" Geometry=\"M 10,10 L 20,10 L 20,20 L 10,20 Z\"/>"
        "</DrawingGroup.Children></DrawingGroup></DrawingBrush.Drawing></DrawingBrush></Rectangle.Fill></Rectangle>";
    auto with = [&](const std::string& attributes) {
        std::string text = rectangle;
        text.replace(text.find("%V"), 2, attributes);
        return DrawBody(text);
    };
    // Absolute: 0..40 of the drawing fill 0..100 of the rectangle, so 10..20 becomes 25..50.
    const preview::Picture absolute = with("Viewbox=\"0,0,40,40\" ViewboxUnits=\"Absolute\"");
    EXPECT_PIXEL(absolute, 30, 30, kRed);
    EXPECT_PIXEL(absolute, 48, 48, kRed);
    EXPECT_PIXEL(absolute, 20, 30, kNone);
    EXPECT_PIXEL(absolute, 55, 30, kNone);
    // The default Viewbox is the drawing's own bounds: the square fills the rectangle.
    const preview::Picture bounds = with("");
    EXPECT_PIXEL(bounds, 2, 2, kRed);
    EXPECT_PIXEL(bounds, 97, 97, kRed);
    // Uniform keeps the proportions and centres: 0..40 by 0..20 fills the width, centred vertically.
    const preview::Picture uniform = with("Viewbox=\"0,0,40,20\" ViewboxUnits=\"Absolute\" Stretch=\"Uniform\"");
    EXPECT_PIXEL(uniform, 30, 55, kRed);
    EXPECT_PIXEL(uniform, 30, 35, kNone);
}

}  // namespace
