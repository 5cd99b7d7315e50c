// Decimals converted with a single rounding, shared by the readers of JSON points and of SVG
// numbers: integers of up to 15 digits are exact in a double, and so are the powers of ten
// below, so that their quotient or product is rounded once, to the very double a correct
// conversion (strtod, from_chars) gives. Where doubles are computed with more precision (x87:
// FLT_EVAL_METHOD != 0), the result would be rounded twice, and the readers convert otherwise.
#pragma once

#include <cstddef>

namespace document {

inline constexpr size_t kMaxExactDigits = 15;
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace document
