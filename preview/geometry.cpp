#include "preview/geometry.h"

#include <algorithm>
#include <cmath>

#include "document/cubic.h"

namespace preview {

Matrix Then(const Matrix& a, const Matrix& b) {
    return {a.m11 * b.m11 + a.m12 * b.m21,
            a.m11 * b.m12 + a.m12 * b.m22,
            a.m21 * b.m11 + a.m22 * b.m21,
            a.m21 * b.m12 + a.m22 * b.m22,
            a.offsetX * b.m11 + a.offsetY * b.m21 + b.offsetX,
            a.offsetX * b.m12 + a.offsetY * b.m22 + b.offsetY};
}

std::optional<Matrix> Inverse(const Matrix& m) {
    const double det = m.Determinant();
    if (det == 0 || !std::isfinite(det)) return std::nullopt;
    Matrix inverse{m.m22 / det, -m.m12 / det, -m.m21 / det, m.m11 / det, 0, 0};
    inverse.offsetX = -(m.offsetX * inverse.m11 + m.offsetY * inverse.m21);
    inverse.offsetY = -(m.offsetX * inverse.m12 + m.offsetY * inverse.m22);
    return inverse;
}

double LargestScale(const Matrix& m) {
    // The square root of the larger eigenvalue of the linear part times its transpose.
    const double a = m.m11 * m.m11 + m.m12 * m.m12;
    const double b = m.m11 * m.m21 + m.m12 * m.m22;
    const double c = m.m21 * m.m21 + m.m22 * m.m22;
    const double half = (a + c) / 2;
    const double spread = std::sqrt(std::max(0.0, (a - c) * (a - c) / 4 + b * b));
    return std::sqrt(half + spread);
}

void TransformGeometry(Geometry& geometry, const Matrix& matrix) {
    for (Figure& figure : geometry.figures) {
        figure.start = matrix.Apply(figure.start);
        for (Segment& segment : figure.segments) {
            segment.control1 = matrix.Apply(segment.control1);
            segment.control2 = matrix.Apply(segment.control2);
            segment.end = matrix.Apply(segment.end);
        }
    }
}

namespace {

struct Extent {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    void Add(Point p) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
};

void AddCubicExtrema(Extent& extent, Point p0, const Segment& s) {
    double roots[2];
    const int xs = document::DerivativeRoots(p0.x, s.control1.x, s.control2.x, s.end.x, roots);
    for (int i = 0; i < xs; ++i) {
        const double t = roots[i];
        extent.Add({document::CubicAt(p0.x, s.control1.x, s.control2.x, s.end.x, t),
                    document::CubicAt(p0.y, s.control1.y, s.control2.y, s.end.y, t)});
    }
    const int ys = document::DerivativeRoots(p0.y, s.control1.y, s.control2.y, s.end.y, roots);
    for (int i = 0; i < ys; ++i) {
        const double t = roots[i];
        extent.Add({document::CubicAt(p0.x, s.control1.x, s.control2.x, s.end.x, t),
                    document::CubicAt(p0.y, s.control1.y, s.control2.y, s.end.y, t)});
    }
}

}  // namespace

std::optional<Rect> Bounds(const Geometry& geometry) {
    Extent extent;
    bool any = false;
    for (const Figure& figure : geometry.figures) {
        any = true;
        extent.Add(figure.start);
        Point current = figure.start;
        for (const Segment& segment : figure.segments) {
            extent.Add(segment.end);
            if (segment.cubic) AddCubicExtrema(extent, current, segment);
            current = segment.end;
        }
    }
    if (!any) return std::nullopt;
    return Rect{extent.minX, extent.minY, extent.maxX - extent.minX, extent.maxY - extent.minY};
}

std::optional<Rect> Union(const std::optional<Rect>& a, const std::optional<Rect>& b) {
    if (!a) return b;
    if (!b) return a;
    const double x = std::min(a->x, b->x), y = std::min(a->y, b->y);
    const double right = std::max(a->x + a->width, b->x + b->width);
    const double bottom = std::max(a->y + a->height, b->y + b->height);
    return Rect{x, y, right - x, bottom - y};
}

std::optional<Rect> Intersection(const std::optional<Rect>& a, const std::optional<Rect>& b) {
    if (!a || !b) return std::nullopt;
    const double x = std::max(a->x, b->x), y = std::max(a->y, b->y);
    const double right = std::min(a->x + a->width, b->x + b->width);
    const double bottom = std::min(a->y + a->height, b->y + b->height);
    if (right < x || bottom < y) return std::nullopt;
    return Rect{x, y, right - x, bottom - y};
}

Rect TransformBounds(const Rect& rect, const Matrix& matrix) {
    Extent extent;
    extent.Add(matrix.Apply({rect.x, rect.y}));
    extent.Add(matrix.Apply({rect.x + rect.width, rect.y}));
    extent.Add(matrix.Apply({rect.x, rect.y + rect.height}));
    extent.Add(matrix.Apply({rect.x + rect.width, rect.y + rect.height}));
    return {extent.minX, extent.minY, extent.maxX - extent.minX, extent.maxY - extent.minY};
}

}  // namespace preview
