// Geometry as the previewer keeps it: figures of straight and cubic segments in the element's
// own coordinates, the affine matrices of WPF (row vectors: x' = M11 x + M21 y + OffsetX), and
// the few calculations on them that reading and drawing share.
#pragma once

#include <optional>
#include <vector>

namespace preview {

struct Point {
    double x = 0, y = 0;
};

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
};

struct Matrix {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, offsetX = 0, offsetY = 0;

    Point Apply(Point p) const { return {m11 * p.x + m21 * p.y + offsetX, m12 * p.x + m22 * p.y + offsetY}; }
    double Determinant() const { return m11 * m22 - m12 * m21; }
    bool IsIdentity() const {
        return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1 && offsetX == 0 && offsetY == 0;
    }
    static Matrix Translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix Scaling(double x, double y) { return {x, 0, 0, y, 0, 0}; }
};

// The matrix that applies `first`, then `second`.
Matrix Then(const Matrix& first, const Matrix& second);
std::optional<Matrix> Inverse(const Matrix& matrix);
// The largest factor by which the matrix stretches a length.
double LargestScale(const Matrix& matrix);

enum class FillRule { kEvenOdd, kNonzero };

struct Segment {
    bool cubic = false;
    Point control1, control2;  // cubic only
    Point end;
};

struct Figure {
    Point start;
    std::vector<Segment> segments;
    bool closed = false;
};

struct Geometry {
    std::vector<Figure> figures;
    FillRule fillRule = FillRule::kEvenOdd;
};

void TransformGeometry(Geometry& geometry, const Matrix& matrix);
// The tight bounds of the outline (curve extrema included); none for a geometry without points.
std::optional<Rect> Bounds(const Geometry& geometry);
std::optional<Rect> Union(const std::optional<Rect>& a, const std::optional<Rect>& b);
std::optional<Rect> Intersection(const std::optional<Rect>& a, const std::optional<Rect>& b);
Rect TransformBounds(const Rect& rect, const Matrix& matrix);

}  // namespace preview
