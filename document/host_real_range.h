// Which numbers a document can hold: every decimal is read as a double, then rounded to the
// nearest 32-bit real.
#pragma once

#include <cmath>

namespace document {

// Whether the double rounds to a finite 32-bit real. Values a little above the largest real
// (3.4028235e+38, its own shortest decimal, among them) still round down to it; only those
// from the midpoint between it and 2^128 on round to infinity. False for NaN.
inline bool RoundsToFiniteReal(double value) {
    return std::fabs(value) < 0x1.ffffffp+127;
}

}  // namespace document
