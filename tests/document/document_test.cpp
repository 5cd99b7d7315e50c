#include "document/document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "document/cubic.h"

namespace document {
namespace {

PathSegment Corner(float x, float y) {
    return {{x, y}, {x, y}, {x, y}, 1};
}

PathSegment Smooth(float x, float y, RealPoint in, RealPoint out) {
    return {{x, y}, in, out, 0};
}

std::unique_ptr<Art> PathOf(std::vector<PathSegment> segments, bool closed = false) {
    auto path = std::make_unique<Art>();
    path->type = kPathArt;
    path->segments = std::move(segments);
    path->closed = closed;
    return path;
}

std::unique_ptr<Art> GroupOf(int16_t type = kGroupArt) {
    auto group = std::make_unique<Art>();
    group->type = type;
    return group;
}

void ExpectRect(const RealRect& r, float left, float top, float right, float bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(Bounds, StraightPathsAreTheirAnchors) {
    ExpectRect(BoundsOf(*PathOf({Corner(3, -2), Corner(-1, 5), Corner(2, 1)})), -1, 5, 3, -2);
    ExpectRect(BoundsOf(*PathOf({Corner(3, 4)})), 3, 4, 3, 4);
    ExpectRect(BoundsOf(*PathOf({})), 0, 0, 0, 0);
}

TEST(Bounds, CurvesReachTheirExtremaBetweenTheAnchors) {
    // An arch over (0,0)-(10,0) with both handles 10 up: its top is at t = 1/2, y = 7.5.
    auto arch = PathOf({Smooth(0, 0, {0, 0}, {0, 10}), Smooth(10, 0, {10, 10}, {10, 0})});
    ExpectRect(BoundsOf(*arch), 0, 7.5f, 10, 0);

    // The same curve as the closing segment counts only when the path is closed.
    auto open = PathOf({Smooth(10, 0, {10, 10}, {10, 0}), Smooth(0, 0, {0, 0}, {0, 10})});
    ExpectRect(BoundsOf(*open), 0, 0, 10, 0);
    open->closed = true;
    ExpectRect(BoundsOf(*open), 0, 7.5f, 10, 0);

    // Handles that overshoot sideways widen the bounds beyond the anchors on both axes.
    auto s = PathOf({Smooth(0, 0, {0, 0}, {-10, 10}), Smooth(10, 10, {20, 0}, {10, 10})});
    const RealRect r = BoundsOf(*s);
    EXPECT_LT(r.left, 0.0f);
    EXPECT_GT(r.right, 10.0f);
    EXPECT_EQ(r.top, 10.0f);
    EXPECT_EQ(r.bottom, 0.0f);
}

// The exact bounds contain every point of the outline and are touched by it.
TEST(Bounds, CurveBoundsAgreeWithADenseSampling) {
    const PathSegment a = Smooth(1.5f, -2.25f, {0, 0}, {-6.3f, 11.9f});
    const PathSegment b = Smooth(13.7f, 4.1f, {19.2f, 9.6f}, {0, 0});
    const RealRect r = BoundsOf(*PathOf({a, b}));
    double left = 1e9, right = -1e9, top = -1e9, bottom = 1e9;
    for (int i = 0; i <= 200000; ++i) {
        const double t = i / 200000.0, m = 1 - t;
        const double x = m * m * m * a.p.h + 3 * m * m * t * a.out.h + 3 * m * t * t * b.in.h + t * t * t * b.p.h;
        const double y = m * m * m * a.p.v + 3 * m * m * t * a.out.v + 3 * m * t * t * b.in.v + t * t * t * b.p.v;
        left = std::min(left, x), right = std::max(right, x), top = std::max(top, y), bottom = std::min(bottom, y);
    }
    EXPECT_NEAR(r.left, left, 1e-5);
    EXPECT_NEAR(r.right, right, 1e-5);
    EXPECT_NEAR(r.top, top, 1e-5);
    EXPECT_NEAR(r.bottom, bottom, 1e-5);
    EXPECT_LT(r.left, 1.0f);  // the curve does swing out past both anchors here
    EXPECT_GT(r.right, 14.0f);
}

// The bounds as defined: the anchors and every curved segment's extrema, none passed over.
RealRect BoundsOfEverySegment(const std::vector<PathSegment>& segments, bool closed) {
    double left = segments[0].p.h, right = left, bottom = segments[0].p.v, top = bottom;
    auto add = [&](double x, double y) {
        left = std::min(left, x), right = std::max(right, x), bottom = std::min(bottom, y), top = std::max(top, y);
    };
    for (const PathSegment& s : segments) add(s.p.h, s.p.v);
    const size_t curves = closed ? segments.size() : segments.size() - 1;
    for (size_t i = 0; i < curves; ++i) {
        const PathSegment& a = segments[i];
        const PathSegment& b = segments[(i + 1) % segments.size()];
        const double x[4] = {a.p.h, a.out.h, b.in.h, b.p.h};
        const double y[4] = {a.p.v, a.out.v, b.in.v, b.p.v};
        double roots[4];
        int count = DerivativeRoots(x[0], x[1], x[2], x[3], roots);
        count += DerivativeRoots(y[0], y[1], y[2], y[3], roots + count);
        for (int k = 0; k < count; ++k) {
            add(CubicAt(x[0], x[1], x[2], x[3], roots[k]), CubicAt(y[0], y[1], y[2], y[3], roots[k]));
        }
    }
    return {float(left), float(top), float(right), float(bottom)};
}

// Curves whose points all lie well inside the anchors' box are passed over: the bounds must
// be exactly those of finding every curve's extrema, for handles inside, on and beyond the box.
TEST(Bounds, CurvesPassedOverChangeNothing) {
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> coordinate(-1000, 1000);
    std::uniform_real_distribution<float> reach(-300, 300);
    int widened = 0;
    for (int n = 0; n < 3000; ++n) {
        std::vector<PathSegment> segments(2 + random() % 12);
        for (PathSegment& s : segments) {
            s.p = {coordinate(random), coordinate(random)};
            s.in = {s.p.h + reach(random), s.p.v + reach(random)};
            s.out = random() % 4 == 0 ? s.p : RealPoint{s.p.h + reach(random), s.p.v + reach(random)};
            s.corner = 0;
        }
        // A handle exactly on the anchors' box, from time to time.
        if (n % 3 == 0) {
            const auto highest = std::max_element(segments.begin(), segments.end(),
                                                  [](const PathSegment& a, const PathSegment& b) { return a.p.v < b.p.v; });
            segments[random() % segments.size()].out.v = highest->p.v;
        }
        const bool closed = n % 2 == 0;
        const RealRect expected = BoundsOfEverySegment(segments, closed);
        const RealRect r = BoundsOf(*PathOf(segments, closed));
        ASSERT_EQ(r.left, expected.left) << n;
        ASSERT_EQ(r.top, expected.top) << n;
        ASSERT_EQ(r.right, expected.right) << n;
        ASSERT_EQ(r.bottom, expected.bottom) << n;
        std::vector<PathSegment> corners = segments;
        for (PathSegment& s : corners) s.in = s.out = s.p;
        const RealRect anchors = BoundsOfEverySegment(corners, closed);
        widened += expected.left < anchors.left || expected.right > anchors.right || expected.top > anchors.top ||
                   expected.bottom < anchors.bottom;
    }
    EXPECT_GT(widened, 100);  // curves do reach out of the box of their anchors here
}

TEST(Bounds, ContainersUniteTheirNonEmptyChildren) {
    auto group = GroupOf();
    group->Add(GroupOf());          // empty group
    group->Add(PathOf({}));         // path without segments
    group->Add(PathOf({Corner(5, 5), Corner(6, 7)}));
    auto inner = GroupOf();
    inner->Add(PathOf({Corner(-2, 6)}));
    group->Add(std::move(inner));
    ExpectRect(BoundsOf(*group), -2, 7, 6, 5);  // the empty ones do not drag in the origin

    auto emptyOnly = GroupOf();
    emptyOnly->Add(GroupOf());
    ExpectRect(BoundsOf(*emptyOnly), 0, 0, 0, 0);

    auto compound = GroupOf(kCompoundPathArt);
    compound->Add(PathOf({Corner(1, 1)}));
    compound->Add(PathOf({Corner(3, 2)}));
    ExpectRect(BoundsOf(*compound), 1, 2, 3, 1);
}

TEST(Bounds, PluginArtUsesItsResultAndGivenBoundsWin) {
    auto plugin = GroupOf(kPluginArt);
    plugin->Add(PathOf({Corner(100, 100)}));  // children of the plug-in object itself do not count
    plugin->result = GroupOf();
    plugin->result->Add(PathOf({Corner(1, 2), Corner(3, 4)}));
    ExpectRect(BoundsOf(*plugin), 1, 4, 3, 2);

    auto group = GroupOf();
    group->bounds = RealRect{-1, 1, 1, -1};
    group->Add(PathOf({Corner(50, 50)}));
    ExpectRect(BoundsOf(*group), -1, 1, 1, -1);

    auto text = GroupOf(kTextFrameArt);
    ExpectRect(BoundsOf(*text), 0, 0, 0, 0);
}

TEST(Bounds, VeryDeepTreesNeedNoDeepStack) {
    auto root = GroupOf();
    Art* art = root.get();
    for (int i = 0; i < 200000; ++i) art = art->Add(GroupOf());
    art->Add(PathOf({Corner(1, 2)}));
    ExpectRect(BoundsOf(*root), 1, 2, 1, 2);
    Document document;
    document.layers.push_back(std::move(root));
    document.Link();
    EXPECT_EQ(art->children[0]->parent, art);
}  // the tree is taken apart here, also without recursion

TEST(Document, LinkSetsParentsAndSiblings) {
    Document document;
    document.layers.push_back(GroupOf());
    document.layers.push_back(GroupOf());
    Art* a = document.layers[0]->Add(PathOf({}));
    Art* b = document.layers[0]->Add(PathOf({}));
    document.layers[1]->result = GroupOf();
    document.Link();
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ(b->parent, document.layers[0].get());
    EXPECT_EQ(document.layers[0]->next, nullptr);  // layers are not siblings of each other
    EXPECT_EQ(document.layers[1]->result->parent, document.layers[1].get());
}

TEST(Document, DefaultStyleHasNoFillAndNoStroke) {
    const PathStyle style = DefaultPathStyle();
    EXPECT_FALSE(style.fillPaint);
    EXPECT_FALSE(style.strokePaint);
    EXPECT_EQ(style.fill.color.kind, kNoneColor);
    EXPECT_EQ(style.stroke.color.kind, kNoneColor);
    EXPECT_EQ(style.stroke.width, 1.0f);
    EXPECT_EQ(style.stroke.miterLimit, 4.0f);
    EXPECT_EQ(style.stroke.dashCount, 0);
}

TEST(Document, StylesAreSharedAndChangedOnlyForTheirOwner) {
    PathStyle red = DefaultPathStyle();
    red.fillPaint = 1;
    red.fill.color.kind = kThreeColor;
    red.fill.color.c.rgb.red = 1.0f;
    PathStyle dashed = DefaultPathStyle();
    dashed.stroke.dashCount = 2;
    StyleTable table;
    const SharedStyle first = table.Intern(red);
    EXPECT_EQ(table.Intern(red), first);
    EXPECT_NE(table.Intern(dashed), first);
    EXPECT_EQ(table.Intern(dashed), table.Intern(dashed));
    // Art objects share a style until one of them changes its own.
    Art a(first);
    Art b(first);
    Art plain;
    a.EditStyle().stroke.width = 3.0f;
    EXPECT_EQ(b.Style().stroke.width, 1.0f);
    EXPECT_EQ(b.SharedStyleOf(), first);
    EXPECT_EQ(a.Style().stroke.width, 3.0f);
    EXPECT_EQ(a.Style().fill.color.c.rgb.red, 1.0f);
    plain.EditStyle().fillPaint = 1;
    EXPECT_EQ(DefaultStyle()->fillPaint, 0);
    // The owner of the only reference changes it in place.
    const PathStyle* own = &a.Style();
    a.EditStyle().stroke.width = 4.0f;
    EXPECT_EQ(&a.Style(), own);
}

}  // namespace
}  // namespace document
