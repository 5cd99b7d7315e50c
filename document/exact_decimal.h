// Decimals converted with a single rounding, shared by the readers of JSON points and of SVG
// numbers: integers of up to 15 digits are exact in a double, and so are the powers of ten
// below, so that their quotient or product is rounded once, to the very double a correct
// conversion (strtod, from_chars) gives. Where doubles are computed with more precision (x87:
// FLT_EVAL_METHOD != 0), the result would be rounded twice, and the readers convert otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace document {

inline constexpr size_t kMaxExactDigits = 15;
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

#if defined(__SSE2__)
// Bit i set where byte i of the 16 from `p` is a digit.
inline unsigned DigitMask(const char* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i atLeastZero = _mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1));
    const __m128i atMostNine = _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1));
    return unsigned(_mm_movemask_epi8(_mm_and_si128(atLeastZero, atMostNine)));
}

// The value of the `count` digits (1 to 8) from `p`, 8 readable bytes, without a loop: the
// digits are moved to the top of a 64-bit word, below them zeros, and combined in pairs, fours
// and eights by multiplications.
inline uint64_t EightDigits(const char* p, unsigned count) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    // Bytes past the digits may borrow from those above them only, which the shift drops.
    word = (word - 0x3030303030303030u) << (8 * (8 - count));
    word = word * 10 + (word >> 8);
    word = ((word & 0x000000FF000000FFu) * (100 + (uint64_t(1000000) << 32)) +
            ((word >> 16) & 0x000000FF000000FFu) * (1 + (uint64_t(10000) << 32))) >>
           32;
    return uint32_t(word);
}

// The `integerDigits` digits from `p` (0 to 8) and the `fractionDigits` after the point that
// follows them (0 to 15, all 15 at most), as one integer: "12.345" is 12345. The digits and 16
// bytes after them must be readable.
inline uint64_t DecimalDigitsAtOnce(const char* p, unsigned integerDigits, unsigned fractionDigits) {
    constexpr uint64_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    uint64_t digits = integerDigits != 0 ? EightDigits(p, integerDigits) : 0;
    const char* const fraction = p + integerDigits + 1;
    if (fractionDigits > 8) {
        digits = digits * kScale[8] + EightDigits(fraction, 8);
        digits = digits * kScale[fractionDigits - 8] + EightDigits(fraction + 8, fractionDigits - 8);
    } else if (fractionDigits != 0) {
        digits = digits * kScale[fractionDigits] + EightDigits(fraction, fractionDigits);
    }
    return digits;
}
#endif

}  // namespace document
