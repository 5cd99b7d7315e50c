// Stroke attributes of a Path and the Pen of a GeometryDrawing.
#include "xaml/stroke.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "document/document.h"
#include "writer_fixture.h"

namespace {

StrokeStyle Stroke(HostReal width, int32_t cap, int32_t join, std::initializer_list<HostReal> dashes = {}) {
    StrokeStyle stroke = document::DefaultPathStyle().stroke;
    stroke.color.kind = kThreeColor;
    stroke.color.c.rgb = ThreeColorStyle{0, 0, 1};
    stroke.width = width;
    stroke.cap = cap;
    stroke.join = join;
    stroke.dashCount = static_cast<int16_t>(dashes.size());
    int i = 0;
    for (HostReal dash : dashes) stroke.dashes[i++] = dash;
    return stroke;
}

class StrokeTest : public WriterTest {
protected:
    void SetUp() override { Use(R"({"layers": []})"); }
    std::string Written(const StrokeStyle& stroke, int32_t drawingBrush) {
        CapturedOutput out;
        WriteStroke(out.get(), stroke, drawingBrush);
        return out.Take();
    }
};

TEST_F(StrokeTest, WritesASolidRoundStrokeAsPathAttributes) {
    EXPECT_EQ(Written(Stroke(2, kRoundCap, kRoundJoin), 0),
              " StrokeThickness=\"2.000000\" Stroke=\"#ff0000ff\""
              " StrokeStartLineCap=\"Round\" StrokeEndLineCap=\"Round\" StrokeLineJoin=\"Round\"");
    EXPECT_EQ(Written(Stroke(1, kProjectingCap, kBevelJoin), 0),
              " StrokeThickness=\"1.000000\" Stroke=\"#ff0000ff\""
              " StrokeStartLineCap=\"Square\" StrokeEndLineCap=\"Square\" StrokeLineJoin=\"Bevel\"");
}

TEST_F(StrokeTest, WritesTheStylesOwnMiterLimit) {
    StrokeStyle stroke = Stroke(1, kButtCap, kMiterJoin);
    stroke.miterLimit = 4;
    EXPECT_EQ(Written(stroke, 0), " StrokeThickness=\"1.000000\" Stroke=\"#ff0000ff\" StrokeMiterLimit=\"4.000000\"");
    stroke.miterLimit = 10.5f;
    EXPECT_EQ(Written(stroke, 1),
              "\n          <GeometryDrawing.Pen>"
              "\n            <Pen DashCap=\"Flat\" Thickness=\"1.000000\" Brush=\"#ff0000ff\" MiterLimit=\"10.500000\"/>"
              "\n          </GeometryDrawing.Pen>");
}

TEST_F(StrokeTest, WritesDashesInUnitsOfTheThickness) {
    EXPECT_EQ(Written(Stroke(2, 7, 9, {6, 3}), 0),
              " StrokeThickness=\"2.000000\" Stroke=\"#ff0000ff\" StrokeDashArray=\"3.000000,1.500000\"");
    EXPECT_EQ(Written(Stroke(4, 7, 9, {1}), 0),
              " StrokeThickness=\"4.000000\" Stroke=\"#ff0000ff\" StrokeDashArray=\"0.250000\"");
    EXPECT_EQ(Written(Stroke(2, 7, 9, {6, 3}), 1),
              "\n          <GeometryDrawing.Pen>"
              "\n            <Pen DashCap=\"Flat\" Thickness=\"2.000000\" Brush=\"#ff0000ff\">"
              "\n              <Pen.DashStyle>"
              "\n                <DashStyle Dashes=\"3.000000,1.500000\"/>"
              "\n              </Pen.DashStyle>"
              "\n            </Pen>"
              "\n          </GeometryDrawing.Pen>");
}

TEST_F(StrokeTest, LeavesTheDashesOfAZeroWidthStrokeOut) {
    EXPECT_EQ(Written(Stroke(0, 7, 9, {6, 3}), 0), " StrokeThickness=\"0.000000\" Stroke=\"#ff0000ff\"");
    EXPECT_EQ(Written(Stroke(0, 7, 9, {6, 3}), 1),
              "\n          <GeometryDrawing.Pen>"
              "\n            <Pen DashCap=\"Flat\" Thickness=\"0.000000\" Brush=\"#ff0000ff\"/>"
              "\n          </GeometryDrawing.Pen>");
}

TEST_F(StrokeTest, WritesNoColourForAGradientOrPatternStroke) {
    StrokeStyle stroke = Stroke(3, kRoundCap, kBevelJoin, {3});
    stroke.color.kind = kGradientColor;
    EXPECT_EQ(Written(stroke, 0),
              " StrokeThickness=\"3.000000\" StrokeStartLineCap=\"Round\" StrokeEndLineCap=\"Round\""
              " StrokeLineJoin=\"Bevel\" StrokeDashArray=\"1.000000\"");
    stroke.color.kind = kPatternColor;
    EXPECT_EQ(Written(stroke, 1).find("Brush="), std::string::npos);
}

}  // namespace
