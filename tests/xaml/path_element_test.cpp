// One path element: head, opacity, visibility, fill, stroke, fill rule, clip form.
#include "xaml/path_element.h"

#include <gtest/gtest.h>

#include "writer_fixture.h"
#include "xaml/art_list.h"

namespace {

class PathElementTest : public WriterTest {
protected:
    // Writes the first child of the first layer's root as a row of its own, under the
    // identity transform. The root group is the list's row 0, the element row 1.
    std::string Element(const std::string& pathJson, int32_t drawingBrush, HostReal opacity = 1.0f,
                        int32_t visible = 1) {
        Use(R"({"layers": [{"type": "group", "children": [)" + pathJson +
            R"(]}], "gradients": {"g": {"type": "linear", "stops": []}}})");
        sRealMath->IdentityMatrix(&sDocumentTransform);
        LayerHandle layer = nullptr;
        sLayer->GetNthLayer(0, &layer);
        ArtHandle column[2] = {};
        sArt->GetFirstArtOfLayer(layer, &column[0]);
        sArt->GetArtFirstChild(column[0], &column[1]);
        int16_t type = 0;
        sArt->GetArtType(column[1], &type);
        ArtHandle path = column[1];
        int32_t compound = 0;
        if (type == kCompoundPathArt) {
            sArt->GetArtFirstChild(column[1], &path);
            compound = 1;
        }
        CapturedOutput out;
        WritePathElement(out.get(), &path, compound, opacity, visible, 0, column, 1, drawingBrush);
        if (compound != 0) {
            EXPECT_EQ(path, nullptr) << "the member variable is stepped to the end";
        }
        return out.Take();
    }
};

const std::string kLine = R"("segments": [[0, 0], [1, 2]])";

TEST_F(PathElementTest, WritesAPlainPath) {
    EXPECT_EQ(Element(R"({"type": "path", )" + kLine + "}", 0),
              "\n  <Path Data=\"F1 M 0.000000,0.000000 L 1.000000,2.000000\"/>");
    EXPECT_EQ(Element(R"({"type": "path", "style": {"evenOdd": true}, )" + kLine + "}", 0),
              "\n  <Path Data=\" M 0.000000,0.000000 L 1.000000,2.000000\"/>");
}

TEST_F(PathElementTest, WritesOpacityAndVisibilityOnThePath) {
    EXPECT_EQ(Element(R"({"type": "path", )" + kLine + "}", 0, 0.5f, 0),
              "\n  <Path Opacity=\"0.500000\" Visibility=\"hidden\" Data=\"F1 M 0.000000,0.000000 L 1.000000,2.000000\"/>");
}

TEST_F(PathElementTest, WrapsATranslucentDrawingInAGroupAndIgnoresVisibility) {
    EXPECT_EQ(Element(R"({"type": "path", )" + kLine + "}", 1, 0.5f, 0),
              "\n\n      <DrawingGroup Opacity=\"0.500000\">"
              "\n        <DrawingGroup.Children>"
              "\n        <GeometryDrawing Geometry=\"F1 M 0.000000,0.000000 L 1.000000,2.000000\"/>"
              "\n\n        </DrawingGroup.Children>"
              "\n      </DrawingGroup>");
}

TEST_F(PathElementTest, WritesTheStrokeBeforeTheFillInThePathForm) {
    EXPECT_EQ(Element(R"({"type": "path", )" + kLine +
                          R"(, "style": {"fill": {"gray": 1}, "stroke": {"color": {"gray": 0}, "join": "round"}}})",
                      0),
              "\n  <Path StrokeThickness=\"1.000000\" Stroke=\"#ffffffff\" StrokeLineJoin=\"Round\" Fill=\"#ff000000\""
              " Data=\"F1 M 0.000000,0.000000 L 1.000000,2.000000\"/>");
}

TEST_F(PathElementTest, WritesAGradientFillAsAChildEvenWithoutTheFillFlag) {
    const std::string path = R"({"type": "path", )" + kLine +
                             R"(, "style": {"fill": {"gradient": "g"}, "fillPaint": false}})";
    const std::string brush =
        "\n      <LinearGradientBrush MappingMode=\"Absolute\" StartPoint=\"0.000000,0.000000\""
        " EndPoint=\"100.000000,0.000000\">"
        "\n        <LinearGradientBrush.GradientStops>"
        "\n        </LinearGradientBrush.GradientStops>"
        "\n        <LinearGradientBrush.Transform>"
        "\n          <MatrixTransform Matrix=\"1.000000,0.000000,0.000000,1.000000,0.000000,0.000000\" />"
        "\n        </LinearGradientBrush.Transform>"
        "\n      </LinearGradientBrush>";
    EXPECT_EQ(Element(path, 0), "\n  <Path Data=\"F1 M 0.000000,0.000000 L 1.000000,2.000000\">"
                                "\n    <Path.Fill>" + brush + "\n    </Path.Fill>\n  </Path>");
}

TEST_F(PathElementTest, WritesTheBrushBeforeThePenInTheDrawingBrushForm) {
    const std::string path = R"({"type": "path", )" + kLine +
                             R"(, "style": {"fill": {"gradient": "g"}, "stroke": {"color": "none", "join": 2}}})";
    const std::string element = Element(path, 1);
    EXPECT_EQ(element.substr(0, element.find("\n      <LinearGradientBrush")),
              "\n        <GeometryDrawing Geometry=\"F1 M 0.000000,0.000000 L 1.000000,2.000000\">"
              "\n          <GeometryDrawing.Brush>");
    EXPECT_EQ(element.substr(element.find("\n      </LinearGradientBrush>")),
              "\n      </LinearGradientBrush>"
              "\n          </GeometryDrawing.Brush>"
              "\n          <GeometryDrawing.Pen>"
              "\n            <Pen DashCap=\"Flat\" Thickness=\"1.000000\" LineJoin=\"Bevel\"/>"
              "\n          </GeometryDrawing.Pen>"
              "\n        </GeometryDrawing>");
}

TEST_F(PathElementTest, WritesNoFillForAPattern) {
    EXPECT_EQ(Element(R"({"type": "path", )" + kLine + R"(, "style": {"fill": {"pattern": "dots"}}})", 1),
              "\n        <GeometryDrawing Geometry=\"F1 M 0.000000,0.000000 L 1.000000,2.000000\"/>");
}

TEST_F(PathElementTest, WritesAClippingPathAsClipGeometryOnly) {
    const std::string path = R"({"type": "path", )" + kLine +
                             R"(, "opacity": 0.5, "style": {"clip": true, "fill": {"gray": 1}, "stroke": {}}})";
    EXPECT_EQ(Element(path, 0, 0.5f, 0),
              "\n  <Canvas.Clip>\n    <PathGeometry Figures=\" M 0.000000,0.000000 L 1.000000,2.000000\"/>"
              "\n  </Canvas.Clip>");
    EXPECT_EQ(Element(path, 1, 0.5f, 0),
              "\n\n  <DrawingGroup.ClipGeometry>\n    <PathGeometry Figures=\" M 0.000000,0.000000 L 1.000000,2.000000\"/>"
              "\n  </DrawingGroup.ClipGeometry>");
}

TEST_F(PathElementTest, WritesEveryMemberOfACompoundPathInOneGeometry) {
    EXPECT_EQ(Element(R"({"type": "compound", "children": [
                           {"type": "path", "segments": [[0, 0]]}, {"type": "path", "segments": [[1, 1]]},
                           {"type": "path", "segments": [[2, 2]], "closed": true}]})",
                      0),
              "\n  <Path Data=\"F1 M 0.000000,0.000000 M 1.000000,1.000000 M 2.000000,2.000000 L 2.000000,2.000000 Z\"/>");
}

TEST_F(PathElementTest, WritesNothingForArtThatIsNotAPath) {
    EXPECT_EQ(Element(R"({"type": "text"})", 0), "");
}

TEST_F(PathElementTest, PaintsAPathfinderResultWithThePluginArtsStyleButClipsByItsOwn) {
    Use(R"({"layers": [{"type": "group", "children": [
             {"type": "plugin", "pluginName": "Pathfinder Suite", "style": {"fill": {"rgb": [0, 1, 0]}, "evenOdd": true},
              "result": {"type": "group", "children": [
                {"type": "path", "name": "own", "segments": [[0, 0]], "style": {"fill": {"rgb": [1, 0, 0]}}},
                {"type": "path", "name": "clip", "segments": [[0, 0]], "style": {"clip": true}}]}}]}]})");
    sRealMath->IdentityMatrix(&sDocumentTransform);
    std::unique_ptr<ArtList, void (*)(ArtList*)> list(NewArtList(), DeleteArtList);
    LayerHandle layer = nullptr;
    sLayer->GetNthLayer(0, &layer);
    sArt->GetFirstArtOfLayer(layer, &list->art[0]);
    BuildArtList(list.get(), 0, "", 1.0f, 0);
    ASSERT_EQ(list->count, 4);
    CapturedOutput out;
    WritePathElement(out.get(), &list->art[2], 0, 1.0f, 1, list->pluginFlags[2], list->art, 2, 0);
    EXPECT_EQ(out.Take(), "\n  <Path Fill=\"#ff00ff00\" Data=\" M 0.000000,0.000000\"/>");
    WritePathElement(out.get(), &list->art[3], 0, 1.0f, 1, list->pluginFlags[3], list->art, 3, 0);
    EXPECT_EQ(out.Take(), "\n  <Canvas.Clip>\n    <PathGeometry Figures=\" M 0.000000,0.000000\"/>\n  </Canvas.Clip>");
}

}  // namespace
