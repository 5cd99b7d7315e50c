// Figures of the path markup: moves, lines, curves, closing, through the document transform.
#include "xaml/path_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "writer_fixture.h"

namespace {

PathSegment Corner(HostReal x, HostReal y) {
    return PathSegment{{x, y}, {x, y}, {x, y}, 1};
}

PathSegment Smooth(RealPoint anchor, RealPoint in, RealPoint out) {
    return PathSegment{anchor, in, out, 0};
}

class PathGeometryTest : public WriterTest {
protected:
    // The figure of one path under the identity transform.
    std::string Figure(std::vector<PathSegment> segments, bool closed) {
        substitute::Document document;
        auto root = std::make_unique<substitute::Art>();
        auto path = std::make_unique<substitute::Art>();
        path->type = kPathArt;
        path->segments = std::move(segments);
        path->closed = closed;
        ArtHandle handle = reinterpret_cast<ArtHandle>(root->Add(std::move(path)));
        document.layers.push_back(std::move(root));
        Use(std::move(document));
        sRealMath->IdentityMatrix(&sDocumentTransform);
        CapturedOutput out;
        WriteFigure(out.get(), &handle);
        return out.Take();
    }
};

TEST_F(PathGeometryTest, WritesOneMoveForAnOpenPathOfOneAnchor) {
    EXPECT_EQ(Figure({Corner(1, 2)}, false), " M 1.000000,2.000000");
}

TEST_F(PathGeometryTest, ClosesAPathOfOneAnchorWithASegmentBackToItself) {
    EXPECT_EQ(Figure({Corner(1, 2)}, true), " M 1.000000,2.000000 L 1.000000,2.000000 Z");
    EXPECT_EQ(Figure({Smooth({1, 2}, {0, 2}, {3, 2})}, true),
              " M 1.000000,2.000000 C 3.000000,2.000000 0.000000,2.000000 1.000000,2.000000 Z");
}

TEST_F(PathGeometryTest, WritesTheClosingSegmentInFull) {
    EXPECT_EQ(Figure({Corner(0, 0), Corner(4, 0), Corner(4, 3), Corner(0, 3)}, true),
              " M 0.000000,0.000000 L 4.000000,0.000000 L 4.000000,3.000000 L 0.000000,3.000000"
              " L 0.000000,0.000000 Z");
}

TEST_F(PathGeometryTest, WritesACurveWhenEitherHandleIsExtended) {
    // Only the out handle of the first anchor is extended: the second control point is the end.
    EXPECT_EQ(Figure({Smooth({0, 0}, {0, 0}, {1, 1}), Corner(4, 0)}, false),
              " M 0.000000,0.000000 C 1.000000,1.000000 4.000000,0.000000 4.000000,0.000000");
    // Only the in handle of the second.
    EXPECT_EQ(Figure({Corner(0, 0), Smooth({4, 0}, {3, -1}, {4, 0})}, false),
              " M 0.000000,0.000000 C 0.000000,0.000000 3.000000,-1.000000 4.000000,0.000000");
}

TEST_F(PathGeometryTest, ComparesHandlesExactlyNotAsPrinted) {
    EXPECT_EQ(Figure({Smooth({0, 0}, {0, 0}, {0, 1e-7f}), Corner(4, 0)}, false),
              " M 0.000000,0.000000 C 0.000000,0.000000 4.000000,0.000000 4.000000,0.000000");
    EXPECT_EQ(Figure({Smooth({0, 0}, {0, 0}, {NAN, 0}), Corner(4, 0)}, false),
              " M 0.000000,0.000000 C 0.000000,0.000000 4.000000,0.000000 4.000000,0.000000")
        << "a NaN makes a curve, and is written as 0";
}

TEST_F(PathGeometryTest, WritesNothingForAPathWithoutSegments) {
    EXPECT_EQ(Figure({}, true), "");
}

TEST_F(PathGeometryTest, WritesEveryPointThroughTheDocumentTransform) {
    Use(R"({"layers": []})");
    SetTransform(10, 200);
    HostReal x = 10;
    HostReal y = 50;
    TransformPoint(&x, &y);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 150.0f);
}

TEST_F(PathGeometryTest, NeverWritesInfinityOrNaN) {
    // Through the transform an infinite coordinate meets a zero factor and becomes NaN.
    EXPECT_EQ(Figure({Corner(INFINITY, -INFINITY)}, false), " M 0.000000,0.000000");
}

}  // namespace
