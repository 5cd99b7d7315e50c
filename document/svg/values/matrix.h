// Points and affine matrices in SVG's convention (a b c d e f).
#pragma once

namespace document::svg {

struct Point {
    double x = 0, y = 0;
};

// Maps (x, y) to (a*x + c*y + e, b*x + d*y + f).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    static Matrix Translate(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
    static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Matrix Rotate(double degrees);
    static Matrix SkewX(double degrees);
    static Matrix SkewY(double degrees);

    Point Apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    // Applies `this` after `inner`: (this * inner)(p) = this(inner(p)).
    Matrix operator*(const Matrix& inner) const;
    bool Invertible() const;
    Matrix Inverse() const;  // only when Invertible()
    // True when the matrix scales every direction by the same factor (rotations, reflections
    // and uniform scales, with any translation).
    bool Uniform(double tolerance = 1e-9) const;
    // The factor by which lengths grow on average: sqrt(|det|).
    double MeanScale() const;
};

}  // namespace document::svg
