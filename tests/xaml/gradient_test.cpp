// Linear and radial gradient brushes, their stops and their transform.
#include "xaml/gradient.h"

#include <gtest/gtest.h>

#include "writer_fixture.h"

namespace {

class GradientTest : public WriterTest {
protected:
    // Uses a document whose gradients are `gradients` (JSON) and the transform of extents
    // with left 10 and top 500.
    void UseGradients(const std::string& gradients) {
        Use(R"({"layers": [], "gradients": )" + gradients + "}");
        SetTransform(10, 500);
    }
    GradientFill Fill(const std::string& name, RealPoint origin, HostReal angle, HostReal length) {
        GradientFill fill{};
        fill.gradient = reinterpret_cast<GradientHandle>(host().GetDocument().gradients.at(name).get());
        fill.origin = origin;
        fill.angle = angle;
        fill.length = length;
        fill.matrix = RealMatrix{1, 0, 0, 1, 0, 0};
        return fill;
    }
    std::string Brush(const GradientFill& fill) {
        CapturedOutput out;
        WriteGradientBrush(out.get(), fill);
        return out.Take();
    }
    std::string Stops(const GradientFill& fill) {
        CapturedOutput out;
        WriteGradientStops(out.get(), fill);
        return out.Take();
    }
};

const std::string kBlackToWhite = R"({"type": "linear", "stops": [
    {"position": 0, "color": {"rgb": [0, 0, 0]}}, {"position": 100, "color": {"rgb": [1, 1, 1]}}]})";

TEST_F(GradientTest, WritesALinearBrushWithItsStopsAndTheDocumentTransform) {
    UseGradients(R"({"g": )" + kBlackToWhite + "}");
    EXPECT_EQ(Brush(Fill("g", {10, 20}, 0, 100)),
              "\n      <LinearGradientBrush MappingMode=\"Absolute\" StartPoint=\"10.000000,20.000000\""
              " EndPoint=\"110.000000,20.000000\">"
              "\n        <LinearGradientBrush.GradientStops>"
              "\n          <GradientStop Offset=\"0.000000\" Color=\"#ff000000\"/>"
              "\n          <GradientStop Offset=\"1.000000\" Color=\"#ffffffff\"/>"
              "\n        </LinearGradientBrush.GradientStops>"
              "\n        <LinearGradientBrush.Transform>"
              "\n          <MatrixTransform Matrix=\"1.000000,0.000000,0.000000,-1.000000,-10.000000,500.000000\" />"
              "\n        </LinearGradientBrush.Transform>"
              "\n      </LinearGradientBrush>");
}

TEST_F(GradientTest, ComputesTheEndPointInSinglePrecision) {
    UseGradients(R"({"g": )" + kBlackToWhite + "}");
    EXPECT_NE(Brush(Fill("g", {0, 0}, 90, 100)).find("EndPoint=\"-0.000004,100.000000\""), std::string::npos);
}

TEST_F(GradientTest, WritesARadialBrushWithItsFocalPoint) {
    UseGradients(R"({"g": {"type": "radial", "stops": []}})");
    GradientFill fill = Fill("g", {100, 200}, 45, 50);
    fill.hiliteLength = 0.5f;
    EXPECT_EQ(Brush(fill),
              "\n      <RadialGradientBrush MappingMode=\"Absolute\" GradientOrigin=\"125.000000,200.000000\""
              " Center=\"100.000000,200.000000\" RadiusX=\"50.000000\" RadiusY=\"50.000000\">"
              "\n        <RadialGradientBrush.GradientStops>"
              "\n        </RadialGradientBrush.GradientStops>"
              "\n        <RadialGradientBrush.Transform>"
              "\n          <MatrixTransform Matrix=\"1.000000,0.000000,0.000000,-1.000000,-10.000000,500.000000\" />"
              "\n        </RadialGradientBrush.Transform>"
              "\n      </RadialGradientBrush>");
    fill.hiliteLength = 0;
    fill.hiliteAngle = 30;
    EXPECT_NE(Brush(fill).find("GradientOrigin=\"100.000000,200.000000\""), std::string::npos);
}

TEST_F(GradientTest, CarriesTheGradientsOwnMatrixBeforeTheDocumentTransform) {
    UseGradients(R"({"g": )" + kBlackToWhite + "}");
    GradientFill fill = Fill("g", {0, 0}, 0, 1);
    fill.matrix = RealMatrix{2, 0, 0, 3, 5, 7};
    EXPECT_NE(Brush(fill).find("Matrix=\"2.000000,0.000000,0.000000,-3.000000,-5.000000,493.000000\""),
              std::string::npos);
}

TEST_F(GradientTest, WritesNothingForAnUnknownGradientType) {
    UseGradients(R"({"g": {"type": 2}})");
    EXPECT_EQ(Brush(Fill("g", {0, 0}, 0, 1)), "");
}

TEST_F(GradientTest, AddsAStopWhereAMidpointIsNotHalfway) {
    UseGradients(R"({
        "quarter": {"stops": [{"position": 0, "midpoint": 25, "color": {"rgb": [0, 0, 0]}},
                              {"position": 100, "color": {"rgb": [1, 1, 1]}}]},
        "inner": {"stops": [{"position": 20, "midpoint": 40, "color": {"rgb": [1, 0, 0]}},
                            {"position": 80, "midpoint": 10, "color": {"rgb": [0, 0, 1]}}]}})");
    EXPECT_EQ(Stops(Fill("quarter", {0, 0}, 0, 1)),
              "\n          <GradientStop Offset=\"0.000000\" Color=\"#ff000000\"/>"
              "\n          <GradientStop Offset=\"0.250000\" Color=\"#ff7f7f7f\"/>"
              "\n          <GradientStop Offset=\"1.000000\" Color=\"#ffffffff\"/>");
    EXPECT_EQ(Stops(Fill("inner", {0, 0}, 0, 1)),
              "\n          <GradientStop Offset=\"0.200000\" Color=\"#ffff0000\"/>"
              "\n          <GradientStop Offset=\"0.440000\" Color=\"#ff7f007f\"/>"
              "\n          <GradientStop Offset=\"0.800000\" Color=\"#ff0000ff\"/>")
        << "the last stop's midpoint adds nothing";
}

}  // namespace
