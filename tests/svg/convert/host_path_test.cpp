// Subpaths as host paths, and colour channels that the export writes back as the same bytes.
#include <gtest/gtest.h>

#include "document/svg/convert/host_color.h"
#include "document/svg/convert/host_path.h"

namespace document::svg {
namespace {

PathSegmentData Line(double x, double y) {
    PathSegmentData s;
    s.end = {x, y};
    return s;
}

PathSegmentData Cubic(Point c1, Point c2, Point end) {
    return {PathSegmentData::kCubic, c1, c2, end};
}

void ExpectPoint(RealPoint p, HostReal h, HostReal v) {
    EXPECT_EQ(p.h, h);
    EXPECT_EQ(p.v, v);
}

TEST(HostPath, LinesKeepRetractedHandlesAndCubicsPutControlPointsOnTheAnchorsAround) {
    Subpath subpath{{0, 0}, {Line(10, 0), Cubic({12, 1}, {14, 3}, {15, 5})}, false};
    const std::optional<HostSubpath> host = ToHostSubpath(subpath, Matrix{});
    ASSERT_TRUE(host);
    ASSERT_EQ(host->segments.size(), 3u);
    EXPECT_FALSE(host->closed);
    const PathSegment& a = host->segments[0];
    ExpectPoint(a.p, 0, 0);
    ExpectPoint(a.in, 0, 0);
    ExpectPoint(a.out, 0, 0);
    const PathSegment& b = host->segments[1];
    ExpectPoint(b.p, 10, 0);
    ExpectPoint(b.in, 10, 0);
    ExpectPoint(b.out, 12, 1);
    const PathSegment& c = host->segments[2];
    ExpectPoint(c.p, 15, 5);
    ExpectPoint(c.in, 14, 3);
    ExpectPoint(c.out, 15, 5);
}

TEST(HostPath, AClosedSubpathEndingOnItsStartMergesTheEndIntoTheFirstAnchor) {
    // A curve back to the start: its second control point becomes the first anchor's in handle.
    Subpath back{{0, 0}, {Line(10, 0), Cubic({10, 10}, {0, 10}, {0, 0})}, true};
    std::optional<HostSubpath> host = ToHostSubpath(back, Matrix{});
    ASSERT_EQ(host->segments.size(), 2u);
    EXPECT_TRUE(host->closed);
    ExpectPoint(host->segments[0].in, 0, 10);
    ExpectPoint(host->segments[1].out, 10, 10);

    // Closed elsewhere: the host's closing segment is the straight line of Z.
    Subpath open{{0, 0}, {Line(10, 0), Line(10, 10)}, true};
    host = ToHostSubpath(open, Matrix{});
    ASSERT_EQ(host->segments.size(), 3u);
    ExpectPoint(host->segments[0].in, 0, 0);
    ExpectPoint(host->segments[2].out, 10, 10);

    // Not closed: an end on the start stays an anchor of its own.
    Subpath unclosed{{0, 0}, {Line(10, 0), Line(0, 0)}, false};
    EXPECT_EQ(ToHostSubpath(unclosed, Matrix{})->segments.size(), 3u);
}

TEST(HostPath, PointsAndHandlesGoThroughTheMatrixAndALoneMoveGivesNothing) {
    // Flip about y = 100 and scale by 2.
    const Matrix toDocument{2, 0, 0, -2, 5, 100};
    Subpath subpath{{1, 1}, {Cubic({2, 1}, {3, 2}, {3, 3})}, false};
    const std::optional<HostSubpath> host = ToHostSubpath(subpath, toDocument);
    ExpectPoint(host->segments[0].p, 7, 98);
    ExpectPoint(host->segments[0].out, 9, 98);
    ExpectPoint(host->segments[1].in, 11, 96);
    ExpectPoint(host->segments[1].p, 11, 94);
    EXPECT_FALSE(ToHostSubpath(Subpath{{1, 1}, {}, true}, toDocument));
}

TEST(HostPath, SmoothAnchorsAreNoCorners) {
    Subpath s{{0, 0}, {Cubic({0, 5}, {5, 10}, {10, 10}), Cubic({15, 10}, {20, 5}, {20, 0})}, false};
    const std::optional<HostSubpath> host = ToHostSubpath(s, Matrix{});
    EXPECT_EQ(host->segments[1].corner, 0);
    Subpath kinked{{0, 0}, {Cubic({0, 5}, {5, 10}, {10, 10}), Cubic({10, 15}, {20, 5}, {20, 0})}, false};
    EXPECT_EQ(ToHostSubpath(kinked, Matrix{})->segments[1].corner, 1);
}

TEST(HostColor, EveryChannelComesBackAsItsByteThroughTheExportsScaling) {
    for (int value = 0; value < 256; ++value) {
        const HostReal real = ChannelReal(static_cast<uint8_t>(value));
        EXPECT_EQ(static_cast<int>(static_cast<double>(real) * 255.0), value) << value;
        EXPECT_NEAR(real, value / 255.0, 1e-6);
    }
}

}  // namespace
}  // namespace document::svg
