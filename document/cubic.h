// One coordinate of a cubic Bezier segment: its value at t and where it turns, for exact
// bounds of outlines (the model's path bounds and the SVG reader's bounding boxes).
#pragma once

#include <cmath>

namespace document {

inline double CubicAt(double p0, double p1, double p2, double p3, double t) {
    const double mt = 1.0 - t;
    return mt * mt * mt * p0 + 3.0 * mt * mt * t * p1 + 3.0 * mt * t * t * p2 + t * t * t * p3;
}

// Parameters t in (0, 1) where the derivative of the cubic with these coordinates is zero.
inline int DerivativeRoots(double p0, double p1, double p2, double p3, double roots[2]) {
    // B'(t) / 3 = a t^2 + b t + c
    const double a = -p0 + 3.0 * p1 - 3.0 * p2 + p3;
    const double b = 2.0 * (p0 - 2.0 * p1 + p2);
    const double c = p1 - p0;
    double candidates[2];
    int found = 0;
    if (a == 0.0) {
        if (b != 0.0) candidates[found++] = -c / b;
    } else {
        const double discriminant = b * b - 4.0 * a * c;
        if (discriminant >= 0.0) {
            // The stable form of the quadratic formula: no cancellation between b and the root.
            const double q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
            candidates[found++] = q / a;
            if (q != 0.0) candidates[found++] = c / q;
        }
    }
    int inside = 0;
    for (int i = 0; i < found; ++i) {
        if (candidates[i] > 0.0 && candidates[i] < 1.0) roots[inside++] = candidates[i];
    }
    return inside;
}

}  // namespace document
