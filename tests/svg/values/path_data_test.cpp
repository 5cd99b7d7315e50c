#include "document/svg/values/path_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace document::svg {
namespace {

using Kind = PathSegmentData::Kind;

void ExpectPoint(Point p, double x, double y, double tolerance = 1e-9) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
}

// The subpath's anchors: its start and every segment's end, as "x,y" text.
std::string Anchors(const Subpath& subpath) {
    auto text = [](Point p) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%g,%g", p.x, p.y);
        return std::string(buffer);
    };
    std::string out = text(subpath.start);
    for (const PathSegmentData& segment : subpath.segments) out += " " + text(segment.end);
    if (subpath.closed) out += " Z";
    return out;
}

std::vector<std::string> AllAnchors(const PathData& data) {
    std::vector<std::string> out;
    for (const Subpath& subpath : data.subpaths) out.push_back(Anchors(subpath));
    return out;
}

using Lines = std::vector<std::string>;

TEST(SvgPathData, AbsoluteAndRelativeLines) {
    const PathData data = ParsePathData("M 10 20 L 30 40 l 5 -5 H 0 h 2 V 7 v -1");
    EXPECT_FALSE(data.error);
    EXPECT_EQ(AllAnchors(data), Lines{"10,20 30,40 35,35 0,35 2,35 2,7 2,6"});
    for (const PathSegmentData& segment : data.subpaths[0].segments) EXPECT_EQ(segment.kind, Kind::kLine);
}

TEST(SvgPathData, ParsingIntoAReusedResultGivesWhatAFreshOneGives) {
    // A result that held an error and several subpaths, then a shorter path without an error,
    // then an empty one: nothing of an earlier path is left.
    PathData reused;
    for (const char* text : {"M 1 2 L 3 4 M 5 6 L 7 8 Z M 9 9 L 1 x", "M 0 0 L 1 1", "", "m 1 1 z l 2 2"}) {
        ParsePathData(text, reused);
        const PathData fresh = ParsePathData(text);
        EXPECT_EQ(AllAnchors(reused), AllAnchors(fresh)) << text;
        EXPECT_EQ(reused.error, fresh.error) << text;
        EXPECT_EQ(reused.errorOffset, fresh.errorOffset) << text;
    }
}

TEST(SvgPathData, CompactNumbers) {
    EXPECT_EQ(AllAnchors(ParsePathData("M1.5.5L-1-2l1e2,1E-1")), Lines{"1.5,0.5 -1,-2 99,-1.9"});
    EXPECT_EQ(AllAnchors(ParsePathData("M0,0L.1.2.3.4")), Lines{"0,0 0.1,0.2 0.3,0.4"});
    EXPECT_EQ(AllAnchors(ParsePathData("M+1+2 3e+0 4\n,5\t6")), Lines{"1,2 3,4 5,6"});
    EXPECT_EQ(AllAnchors(ParsePathData("M1.e1 0")), Lines{});  // lone moveto: nothing drawn
    EXPECT_EQ(AllAnchors(ParsePathData("M1.e1 0 L 0 0")), Lines{"10,0 0,0"});
}

TEST(SvgPathData, ImplicitRepeats) {
    // After M the pairs are lines; after m relative lines.
    EXPECT_EQ(AllAnchors(ParsePathData("M 0 0 10 0 10 10")), Lines{"0,0 10,0 10,10"});
    EXPECT_EQ(AllAnchors(ParsePathData("m 5 5 10 0 0 10")), Lines{"5,5 15,5 15,15"});
    EXPECT_EQ(AllAnchors(ParsePathData("M0 0 h 1 2 3 v 1, 1")), Lines{"0,0 1,0 3,0 6,0 6,1 6,2"});
    const PathData cubics = ParsePathData("M0 0 c 1 1 2 2 3 3 1 1 2 2 3 3");
    ASSERT_EQ(cubics.subpaths.size(), 1u);
    ASSERT_EQ(cubics.subpaths[0].segments.size(), 2u);
    ExpectPoint(cubics.subpaths[0].segments[1].c1, 4, 4);  // relative to the first cubic's end
    ExpectPoint(cubics.subpaths[0].segments[1].end, 6, 6);
    // The first m of a path is absolute (relative to the origin) and later ones are relative.
    EXPECT_EQ(AllAnchors(ParsePathData("m 1 1 l 1 0 m 10 10 l 1 0")), Lines({"1,1 2,1", "12,11 13,11"}));
}

TEST(SvgPathData, ClosingReturnsToTheSubpathStart) {
    const PathData data = ParsePathData("M 10 10 l 10 0 l 0 10 z l 5 5 M 0 0 L 1 1 Z m 2 2 l 1 0");
    EXPECT_FALSE(data.error);
    // After z the current point is the start (10,10): the relative l begins a new subpath there,
    // and after Z the relative m is taken from (0,0).
    EXPECT_EQ(AllAnchors(data), Lines({"10,10 20,10 20,20 Z", "10,10 15,15", "0,0 1,1 Z", "2,2 3,2"}));
    // A lone "M x y Z" is a closed dot; a second Z adds nothing.
    EXPECT_EQ(AllAnchors(ParsePathData("M 3 4 Z Z")), Lines{"3,4 Z"});
    EXPECT_EQ(AllAnchors(ParsePathData("M 0 0 L 1 0 Z Z L 0 5")), Lines({"0,0 1,0 Z", "0,0 0,5"}));
}

TEST(SvgPathData, QuadraticsRaisedToCubicsExactly) {
    const PathData data = ParsePathData("M 0 0 Q 30 60 90 0");
    ASSERT_EQ(data.subpaths.size(), 1u);
    const PathSegmentData& q = data.subpaths[0].segments.at(0);
    EXPECT_EQ(q.kind, Kind::kCubic);
    ExpectPoint(q.c1, 20, 40, 1e-12);  // 0 + 2/3 (30 - 0), 0 + 2/3 (60 - 0)
    ExpectPoint(q.c2, 50, 40, 1e-12);  // 90 + 2/3 (30 - 90), 2/3 * 60
    ExpectPoint(q.end, 90, 0, 0);
    // The cubic traces the quadratic: compare midpoints (quadratic midpoint = p0/4 + q/2 + p/4).
    const double mx = 0.125 * 0 + 0.375 * q.c1.x + 0.375 * q.c2.x + 0.125 * q.end.x;
    const double my = 0.125 * 0 + 0.375 * q.c1.y + 0.375 * q.c2.y + 0.125 * q.end.y;
    ExpectPoint({mx, my}, 0 / 4.0 + 30 / 2.0 + 90 / 4.0, 0 + 30, 1e-12);
}

TEST(SvgPathData, SmoothCurvesReflectOnlyAfterTheirOwnKind) {
    // S after C reflects C's second control point about the current point.
    const PathData s = ParsePathData("M0 0 C 10 0 20 10 30 10 S 50 20 60 20");
    const PathSegmentData& smooth = s.subpaths.at(0).segments.at(1);
    ExpectPoint(smooth.c1, 40, 10);
    ExpectPoint(smooth.c2, 50, 20);
    // S after anything else (here a line, or a quadratic) uses the current point.
    ExpectPoint(ParsePathData("M0 0 L 30 10 S 50 20 60 20").subpaths.at(0).segments.at(1).c1, 30, 10);
    ExpectPoint(ParsePathData("M0 0 Q 10 10 30 10 S 50 20 60 20").subpaths.at(0).segments.at(1).c1, 30, 10);
    // S after S chains; relative s is relative to its own start.
    const PathData chain = ParsePathData("M0 0 C 0 10 10 10 10 0 s 10 -10 10 0");
    const PathSegmentData& second = chain.subpaths.at(0).segments.at(1);
    ExpectPoint(second.c1, 10, -10);
    ExpectPoint(second.c2, 20, -10);
    ExpectPoint(second.end, 20, 0);

    // T after Q reflects the quadratic control point: Q control (10,20) about (20,0) is (30,-20).
    const PathData t = ParsePathData("M0 0 Q 10 20 20 0 T 40 0");
    const PathSegmentData& smoothQuad = t.subpaths.at(0).segments.at(1);
    ExpectPoint(smoothQuad.c1, 20 + 2.0 / 3 * 10, -20 * 2.0 / 3);
    ExpectPoint(smoothQuad.c2, 40 - 2.0 / 3 * 10, -20 * 2.0 / 3);
    // T after T keeps reflecting: the control goes back to (50, 20).
    const PathSegmentData third = ParsePathData("M0 0 Q 10 20 20 0 T 40 0 T 60 0").subpaths.at(0).segments.at(2);
    ExpectPoint(third.c1, 40 + 2.0 / 3 * 10, 20 * 2.0 / 3);
    // T after C is a straight quadratic: the control is the current point.
    const PathSegmentData flat = ParsePathData("M0 0 C 1 1 2 2 3 0 T 9 0").subpaths.at(0).segments.at(1);
    ExpectPoint(flat.c1, 3, 0);
    ExpectPoint(flat.c2, 5, 0);
    // A moveto or Z in between breaks the chain.
    ExpectPoint(ParsePathData("M0 0 Q 10 20 20 0 Z T 40 0").subpaths.at(1).segments.at(0).c2, 40.0 / 3, 0);
}

// The arc segments' points against the ellipse (x-cx)^2/rx^2 + (y-cy)^2/ry^2 = 1 (unrotated).
double WorstEllipseError(const Subpath& subpath, Point centre, double rx, double ry) {
    double worst = 0;
    Point from = subpath.start;
    for (const PathSegmentData& segment : subpath.segments) {
        for (double t = 0; t <= 1.0; t += 0.125) {
            const double u = 1 - t;
            const double x = u * u * u * from.x + 3 * u * u * t * segment.c1.x + 3 * u * t * t * segment.c2.x + t * t * t * segment.end.x;
            const double y = u * u * u * from.y + 3 * u * u * t * segment.c1.y + 3 * u * t * t * segment.c2.y + t * t * t * segment.end.y;
            const double dx = (x - centre.x) / rx, dy = (y - centre.y) / ry;
            worst = std::max(worst, std::abs(std::sqrt(dx * dx + dy * dy) - 1));
        }
        from = segment.end;
    }
    return worst;
}

TEST(SvgPathData, ArcsBecomeQuarterCubicsOnTheEllipse) {
    // From (0,0) to (100,0) on a 50 x 25 ellipse: a half ellipse centred at (50,0), two quarters.
    const PathData half = ParsePathData("M 0 0 A 50 25 0 0 1 100 0");
    ASSERT_EQ(half.subpaths.size(), 1u);
    const Subpath& h = half.subpaths[0];
    ASSERT_EQ(h.segments.size(), 2u);
    EXPECT_EQ(h.segments[0].kind, Kind::kCubic);
    ExpectPoint(h.segments[0].end, 50, -25, 1e-9);  // sweep 1 in y-down goes through the top
    ExpectPoint(h.segments[1].end, 100, 0, 0);
    EXPECT_LT(WorstEllipseError(h, {50, 0}, 50, 25), 3e-4);  // a quarter cubic is off by < 0.03 %

    // The four flag combinations for a circle of radius 10 from (0,0) to (10,10): centres
    // (10,0) or (0,10); the large arc takes three quarters. Sweep 1 turns towards +y from +x.
    struct Case {
        const char* d;
        size_t segments;
        Point centre;
    };
    for (const Case& c : {Case{"M0 0 A10 10 0 0 0 10 10", 1, {10, 0}}, Case{"M0 0 A10 10 0 0 1 10 10", 1, {0, 10}},
                          Case{"M0 0 A10 10 0 1 0 10 10", 3, {0, 10}}, Case{"M0 0 A10 10 0 1 1 10 10", 3, {10, 0}}}) {
        const PathData data = ParsePathData(c.d);
        ASSERT_EQ(data.subpaths.size(), 1u) << c.d;
        EXPECT_EQ(data.subpaths[0].segments.size(), c.segments) << c.d;
        EXPECT_LT(WorstEllipseError(data.subpaths[0], c.centre, 10, 10), 3e-4) << c.d;
    }
    // An arc of 60 degrees is one segment, about ten times more accurate than a quarter.
    const double x = 10 * std::cos(std::numbers::pi / 3), y = 10 * std::sin(std::numbers::pi / 3);
    const std::string sixty = "M10 0 A10 10 0 0 1 " + std::to_string(x) + " " + std::to_string(y);
    const PathData small = ParsePathData(sixty);
    ASSERT_EQ(small.subpaths.at(0).segments.size(), 1u);
    EXPECT_LT(WorstEllipseError(small.subpaths[0], {0, 0}, 10, 10), 3e-5);  // error grows as the sixth power
}

TEST(SvgPathData, ArcRotationAndRadiusCorrection) {
    // Radii far too small are scaled up until the ellipse just reaches: a half circle of
    // radius 50 about the midpoint, whatever the large-arc flag says.
    for (const char* d : {"M 0 0 A 1 1 0 0 1 100 0", "M 0 0 A 1 1 0 1 1 100 0", "M 0 0 A -1 -1 0 0 1 100 0"}) {
        const PathData data = ParsePathData(d);
        ASSERT_EQ(data.subpaths.size(), 1u) << d;
        EXPECT_EQ(data.subpaths[0].segments.size(), 2u) << d;
        EXPECT_LT(WorstEllipseError(data.subpaths[0], {50, 0}, 50, 50), 3e-4) << d;
    }
    // An ellipse 20 x 10 turned 90 degrees is 10 x 20 upright: from (0,0) down to (0,40) it is a
    // half ellipse about (0,20) with rx 10, ry 20. Sweep 0 turns the negative way (from +y
    // towards +x), so going down from the top it passes through the left side, (-10, 20).
    const PathData turned = ParsePathData("M 0 0 A 20 10 90 0 0 0 40");
    ASSERT_EQ(turned.subpaths.size(), 1u);
    EXPECT_LT(WorstEllipseError(turned.subpaths[0], {0, 20}, 10, 20), 3e-4);
    ExpectPoint(turned.subpaths[0].segments.at(0).end, -10, 20, 1e-9);
}

TEST(SvgPathData, DegenerateArcs) {
    // Zero radius: a straight line. Same endpoints: nothing at all.
    const PathData zero = ParsePathData("M 0 0 A 0 5 0 0 1 10 10 a 5 0 0 0 0 5 5");
    EXPECT_EQ(AllAnchors(zero), Lines{"0,0 10,10 15,15"});
    EXPECT_EQ(zero.subpaths[0].segments[0].kind, Kind::kLine);
    EXPECT_EQ(AllAnchors(ParsePathData("M 5 5 A 10 10 0 0 1 5 5 L 6 6")), Lines{"5,5 6,6"});
    EXPECT_FALSE(ParsePathData("M 5 5 A 10 10 0 0 1 5 5").error);
    // Radii so large against the chord that the centre cannot be computed: the chord itself.
    const PathData flat = ParsePathData("M 0 0 A 1e308 1e308 0 0 1 1e-300 0");
    EXPECT_FALSE(flat.error);
    ASSERT_EQ(flat.subpaths.size(), 1u);
    ASSERT_EQ(flat.subpaths[0].segments.size(), 1u);
    EXPECT_EQ(flat.subpaths[0].segments[0].kind, Kind::kLine);
}

TEST(SvgPathData, ArcFlagsWithoutSeparators) {
    // "a1 1 0 00 1 1": radii 1 1, rotation 0, flags 0 and 0, end (1, 1).
    const PathData compact = ParsePathData("M0 0a1 1 0 00 1 1");
    const PathData spaced = ParsePathData("M0 0 a 1 1 0 0 0 1 1");
    EXPECT_FALSE(compact.error);
    EXPECT_EQ(AllAnchors(compact), AllAnchors(spaced));
    EXPECT_EQ(AllAnchors(compact), Lines{"0,0 1,1"});
    // "a1 1 0 1110 10": flags 1 and 1, end (10, 10): "1110" splits after the two flags.
    const PathData packed = ParsePathData("M0 0a1 1 0 1110 10");
    EXPECT_FALSE(packed.error);
    ASSERT_EQ(packed.subpaths.size(), 1u);
    ExpectPoint(packed.subpaths[0].segments.back().end, 10, 10, 0);
    EXPECT_EQ(AllAnchors(ParsePathData("M0 0a1,1,0,0,1,1,1")), AllAnchors(ParsePathData("M0 0a1 1 0 0 1 1 1")));
    // A flag must be 0 or 1.
    const PathData bad = ParsePathData("M0 0 L 1 1 A 1 1 0 2 0 5 5");
    EXPECT_TRUE(bad.error);
    EXPECT_EQ(bad.errorOffset, 19u);
    EXPECT_EQ(AllAnchors(bad), Lines{"0,0 1,1"});
}

TEST(SvgPathData, DrawnUpToTheFirstError) {
    struct Case {
        const char* d;
        Lines kept;
        size_t offset;
    };
    for (const Case& c : {
             Case{"M 10 10 L 20 20 30", {"10,10 20,20"}, 18},        // half a pair at the end
             Case{"M 10 10 L 20 20 X 5 5", {"10,10 20,20"}, 16},     // not a command
             Case{"M 10 10 L 20 20 L 30 # L 40 40", {"10,10 20,20"}, 21},
             Case{"M 1 1 L 2 2 Z 3 3", {"1,1 2,2 Z"}, 14},           // numbers after Z
             Case{"M 1 1 L 2 2, L 3 3", {"1,1 2,2"}, 13},            // comma before a command
             Case{"M 1 1 L 2 2,", {"1,1 2,2"}, 12},                  // trailing comma
             Case{"M 1 1 L,2 2", {}, 7},                             // comma after a command
             Case{"M 1 1 L 2 2 C 1 1 1 1", {"1,1 2,2"}, 21},
             Case{"L 1 1 L 2 2", {}, 0},                             // must begin with a moveto
             Case{"10 10", {}, 0},
             Case{"M 1 1 L 1e999 0", {}, 8},
             Case{"M 1 1 L 1 1e", {"1,1 1,1"}, 11},  // "1e" is 1 and a stray e
             Case{"M 0 0 L 1e308 0 l 1e308 0", {"0,0 1e+308,0"}, 18},  // the sum is not finite
         }) {
        const PathData data = ParsePathData(c.d);
        EXPECT_TRUE(data.error) << c.d;
        EXPECT_EQ(data.errorOffset, c.offset) << c.d;
        EXPECT_EQ(AllAnchors(data), c.kept) << c.d;
    }
    for (const char* fine : {"", "   ", "M 0 0", "M0 0L1 1 ", "\nM 0,0 L 1,1 z\n"}) {
        EXPECT_FALSE(ParsePathData(fine).error) << fine;
    }
}

TEST(SvgPoints, PairsAndTheOddCoordinate) {
    const PathData line = ParsePoints(" 0,0 10 0, 10,10 ", false);
    EXPECT_FALSE(line.error);
    EXPECT_EQ(AllAnchors(line), Lines{"0,0 10,0 10,10"});
    EXPECT_EQ(AllAnchors(ParsePoints("0,0 10 0 10,10", true)), Lines{"0,0 10,0 10,10 Z"});
    EXPECT_EQ(AllAnchors(ParsePoints("1-2-3-4", false)), Lines{"1,-2 -3,-4"});
    // An odd coordinate is dropped, and flagged for the loss report.
    const PathData odd = ParsePoints("0 0 5 5 7", false);
    EXPECT_EQ(AllAnchors(odd), Lines{"0,0 5,5"});
    EXPECT_TRUE(odd.error);
    EXPECT_EQ(odd.errorOffset, 8u);
    const PathData garbage = ParsePoints("0 0 5 5 x 9", true);
    EXPECT_EQ(AllAnchors(garbage), Lines{"0,0 5,5 Z"});
    EXPECT_EQ(garbage.errorOffset, 8u);
    EXPECT_TRUE(AllAnchors(ParsePoints("", true)).empty());
    EXPECT_TRUE(AllAnchors(ParsePoints("4 4", false)).empty());  // a lone point draws nothing
}

}  // namespace
}  // namespace document::svg
