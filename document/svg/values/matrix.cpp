#include "document/svg/values/matrix.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace document::svg {

namespace {

// Sine and cosine of an angle in degrees, exact at multiples of 90 degrees so that quarter
// turns give clean matrices rather than 6e-17 residues.
void SinCosDegrees(double degrees, double& sine, double& cosine) {
    double reduced = std::fmod(degrees, 360.0);
    if (reduced < 0) reduced += 360.0;
    if (reduced == 0) { sine = 0; cosine = 1; return; }
    if (reduced == 90) { sine = 1; cosine = 0; return; }
    if (reduced == 180) { sine = 0; cosine = -1; return; }
    if (reduced == 270) { sine = -1; cosine = 0; return; }
    const double radians = reduced * std::numbers::pi / 180.0;
    sine = std::sin(radians);
    cosine = std::cos(radians);
}

double TanDegrees(double degrees) {
    double sine = 0, cosine = 1;
    SinCosDegrees(degrees, sine, cosine);
    return sine / cosine;  // +-inf at 90 degrees, as the skew itself is then unbounded
}

}  // namespace

Matrix Matrix::Rotate(double degrees) {
    double sine = 0, cosine = 1;
    SinCosDegrees(degrees, sine, cosine);
    return {cosine, sine, -sine, cosine, 0, 0};
}

Matrix Matrix::SkewX(double degrees) { return {1, 0, TanDegrees(degrees), 1, 0, 0}; }

Matrix Matrix::SkewY(double degrees) { return {1, TanDegrees(degrees), 0, 1, 0, 0}; }

Matrix Matrix::operator*(const Matrix& inner) const {
    return {a * inner.a + c * inner.b,
            b * inner.a + d * inner.b,
            a * inner.c + c * inner.d,
            b * inner.c + d * inner.d,
            a * inner.e + c * inner.f + e,
            b * inner.e + d * inner.f + f};
}

bool Matrix::Invertible() const {
    const double determinant = a * d - b * c;
    return determinant != 0 && std::isfinite(determinant) && std::isfinite(1.0 / determinant) &&
           std::isfinite(e) && std::isfinite(f);
}

Matrix Matrix::Inverse() const {
    const double determinant = a * d - b * c;
    const double ia = d / determinant;
    const double ib = -b / determinant;
    const double ic = -c / determinant;
    const double id = a / determinant;
    return {ia, ib, ic, id, -(ia * e + ic * f), -(ib * e + id * f)};
}

bool Matrix::Uniform(double tolerance) const {
    // [a c; b d] is a similarity when it is a scaled rotation (a = d, b = -c) or a scaled
    // reflection (a = -d, b = c); the tolerance is relative to the largest coefficient.
    const double largest = std::max({std::abs(a), std::abs(b), std::abs(c), std::abs(d)});
    if (!std::isfinite(largest)) return false;
    const double allowed = tolerance * largest;
    const bool rotation = std::abs(a - d) <= allowed && std::abs(b + c) <= allowed;
    const bool reflection = std::abs(a + d) <= allowed && std::abs(b - c) <= allowed;
    return rotation || reflection;
}

double Matrix::MeanScale() const { return std::sqrt(std::abs(a * d - b * c)); }

}  // namespace document::svg
