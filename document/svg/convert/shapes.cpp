#include "document/svg/convert/shapes.h"

#include <algorithm>
#include <cmath>

#include "document/cubic.h"

namespace document::svg {
namespace {

// The control point distance of a quarter ellipse drawn as one cubic.
constexpr double kKappa = 0.5522847498307936;

double Attr(const Element& e, std::string_view name, LengthAxis axis, const Viewport& viewport) {
    return LengthAttribute(e, name, axis, viewport, FontSizeOf(e)).value_or(0);
}

class Builder {
public:
    void Move(double x, double y) {
        data_.subpaths.push_back({{x, y}, {}, false});
        current_ = {x, y};
    }
    void Line(double x, double y) {
        if (x == current_.x && y == current_.y) return;
        PathSegmentData segment;
        segment.end = {x, y};
        data_.subpaths.back().segments.push_back(segment);
        current_ = {x, y};
    }
    void Cubic(Point c1, Point c2, Point end) {
        data_.subpaths.back().segments.push_back({PathSegmentData::kCubic, c1, c2, end});
        current_ = end;
    }
    // A quarter of an ellipse of radii rx, ry about (cx, cy) from the current point, which lies
    // on it at angle a0, to the point at angle a0 + 90 degrees (angles in quarter turns).
    void Quarter(double cx, double cy, double rx, double ry, int a0) {
        static constexpr int kCos[4] = {1, 0, -1, 0};
        static constexpr int kSin[4] = {0, 1, 0, -1};
        const int a1 = (a0 + 1) % 4;
        const Point start{cx + rx * kCos[a0], cy + ry * kSin[a0]};
        const Point end{cx + rx * kCos[a1], cy + ry * kSin[a1]};
        // Tangents: the derivative at angle a is (-sin a, cos a) scaled by the radii.
        const Point c1{start.x - kKappa * rx * kSin[a0], start.y + kKappa * ry * kCos[a0]};
        const Point c2{end.x + kKappa * rx * kSin[a1], end.y - kKappa * ry * kCos[a1]};
        Cubic(c1, c2, end);
    }
    void Close() { data_.subpaths.back().closed = true; }
    PathData Take() { return std::move(data_); }

private:
    PathData data_;
    Point current_;
};

PathData Ellipse(double cx, double cy, double rx, double ry) {
    Builder b;
    b.Move(cx + rx, cy);
    for (int quarter = 0; quarter < 4; ++quarter) b.Quarter(cx, cy, rx, ry, quarter);
    b.Close();
    return b.Take();
}

PathData Rect(const Element& e, const Viewport& vp) {
    const double x = Attr(e, "x", LengthAxis::kX, vp), y = Attr(e, "y", LengthAxis::kY, vp);
    const double w = Attr(e, "width", LengthAxis::kX, vp), h = Attr(e, "height", LengthAxis::kY, vp);
    if (!(w > 0) || !(h > 0)) return {};
    // rx and ry: a missing, "auto" or negative one takes the other's value; both at most half.
    std::optional<double> rx = LengthAttribute(e, "rx", LengthAxis::kX, vp, FontSizeOf(e));
    std::optional<double> ry = LengthAttribute(e, "ry", LengthAxis::kY, vp, FontSizeOf(e));
    if (rx && *rx < 0) rx.reset();
    if (ry && *ry < 0) ry.reset();
    if (!rx) rx = ry;
    if (!ry) ry = rx;
    const double rX = std::min(rx.value_or(0), w / 2), rY = std::min(ry.value_or(0), h / 2);
    Builder b;
    if (rX <= 0 || rY <= 0) {
        b.Move(x, y);
        b.Line(x + w, y);
        b.Line(x + w, y + h);
        b.Line(x, y + h);
        b.Close();
        return b.Take();
    }
    b.Move(x + rX, y);
    b.Line(x + w - rX, y);
    b.Quarter(x + w - rX, y + rY, rX, rY, 3);
    b.Line(x + w, y + h - rY);
    b.Quarter(x + w - rX, y + h - rY, rX, rY, 0);
    b.Line(x + rX, y + h);
    b.Quarter(x + rX, y + h - rY, rX, rY, 1);
    b.Line(x, y + rY);
    b.Quarter(x + rX, y + rY, rX, rY, 2);
    b.Close();
    return b.Take();
}

}  // namespace

PathData ShapeOutline(const Element& e, const Viewport& vp) {
    switch (e.tag) {
        case Tag::kPath: return ParsePathData(e.Attribute("d"));
        case Tag::kRect: return Rect(e, vp);
        case Tag::kCircle: {
            const double r = Attr(e, "r", LengthAxis::kOther, vp);
            if (!(r > 0)) return {};
            return Ellipse(Attr(e, "cx", LengthAxis::kX, vp), Attr(e, "cy", LengthAxis::kY, vp), r, r);
        }
        case Tag::kEllipse: {
            std::optional<double> rx = LengthAttribute(e, "rx", LengthAxis::kX, vp, FontSizeOf(e));
            std::optional<double> ry = LengthAttribute(e, "ry", LengthAxis::kY, vp, FontSizeOf(e));
            if (!rx) rx = ry;  // "auto": the other radius
            if (!ry) ry = rx;
            if (!rx || !(*rx > 0) || !(*ry > 0)) return {};
            return Ellipse(Attr(e, "cx", LengthAxis::kX, vp), Attr(e, "cy", LengthAxis::kY, vp), *rx, *ry);
        }
        case Tag::kLine: {
            Builder b;
            b.Move(Attr(e, "x1", LengthAxis::kX, vp), Attr(e, "y1", LengthAxis::kY, vp));
            PathData data = b.Take();
            PathSegmentData segment;
            segment.end = {Attr(e, "x2", LengthAxis::kX, vp), Attr(e, "y2", LengthAxis::kY, vp)};
            data.subpaths.back().segments.push_back(segment);
            return data;
        }
        case Tag::kPolyline: return ParsePoints(e.Attribute("points"), false);
        case Tag::kPolygon: return ParsePoints(e.Attribute("points"), true);
        default: return {};
    }
}

void ShapeOutline(const Element& e, const Viewport& vp, PathData& into) {
    if (e.tag == Tag::kPath) {
        ParsePathData(e.Attribute("d"), into);
    } else {
        into = ShapeOutline(e, vp);
    }
}

std::optional<Box> OutlineBox(const PathData& outline) {
    std::optional<Box> box;
    auto add = [&box](double x, double y) {
        if (!box) {
            box = Box{x, y, x, y};
            return;
        }
        box->left = std::min(box->left, x);
        box->right = std::max(box->right, x);
        box->top = std::min(box->top, y);
        box->bottom = std::max(box->bottom, y);
    };
    for (const Subpath& subpath : outline.subpaths) {
        if (subpath.segments.empty()) continue;
        add(subpath.start.x, subpath.start.y);
        Point from = subpath.start;
        for (const PathSegmentData& s : subpath.segments) {
            add(s.end.x, s.end.y);
            if (s.kind == PathSegmentData::kCubic) {
                double roots[4];
                int n = DerivativeRoots(from.x, s.c1.x, s.c2.x, s.end.x, roots);
                n += DerivativeRoots(from.y, s.c1.y, s.c2.y, s.end.y, roots + n);
                for (int i = 0; i < n; ++i) {
                    add(CubicAt(from.x, s.c1.x, s.c2.x, s.end.x, roots[i]),
                        CubicAt(from.y, s.c1.y, s.c2.y, s.end.y, roots[i]));
                }
            }
            from = s.end;
        }
    }
    return box;
}

}  // namespace document::svg
