// Points, the arrays that make up nearly all of a large document ([-1107.36597, -1131.39941]),
// read from their text without the JSON parser's walk of an array and its general number
// conversion.
#pragma once

#include <cfloat>
#include <cstdint>

#include "document/exact_decimal.h"

namespace document::json_point {

inline bool IsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

inline const char* SkipSpace(const char* p) {
    while (IsSpace(*p)) ++p;
    return p;
}

// Reads a number written as an optional minus, integer digits without leading zeros, a point
// and one or more decimals, 15 digits in all at most: the nearest double, as the parser gives
// it (the digits and the power of ten that divides them are exact doubles, so that the one
// division rounds once, to the nearest). With `kWholeToo`, integer digits alone are read as
// well, as the double they equal. Returns one past its last digit, or nullptr for anything
// else (no point, more digits, invalid text), which is left to the parser; what follows the
// digits is the caller's to check. Where doubles are computed with more precision (x87), the
// division would round twice: nothing is read then.
template <bool kWholeToo = false>
inline const char* ReadShortDecimal(const char* text, double& value) {
#if FLT_EVAL_METHOD != 0
    (void)text;
    (void)value;
    return nullptr;
#else
    const char* p = text;
    const bool negative = *p == '-';
    p += negative ? 1 : 0;
    // Digits beyond the 15 allowed wrap around harmlessly: the number is refused then.
    uint64_t digits = 0;
    const char* integerStart = p;
    if (*p == '0') {
        ++p;
    } else {
        for (unsigned digit; (digit = unsigned(uint8_t(*p)) - '0') < 10; ++p) digits = digits * 10 + digit;
    }
    const long integerDigits = p - integerStart;
    if (integerDigits == 0) return nullptr;
    long fractionDigits = 0;
    if (*p == '.') {
        ++p;
        const char* fractionStart = p;
        for (unsigned digit; (digit = unsigned(uint8_t(*p)) - '0') < 10; ++p) digits = digits * 10 + digit;
        fractionDigits = p - fractionStart;
        if (fractionDigits == 0) return nullptr;
    } else if (!kWholeToo) {
        return nullptr;
    }
    if (size_t(integerDigits + fractionDigits) > kMaxExactDigits) return nullptr;
    const double magnitude = double(digits) / kExactPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    return p;
#endif
}

// Reads `[x, y]` of two such numbers, with JSON whitespace around each; `text` is at '['.
// Returns one past the closing bracket, or nullptr for anything else.
template <bool kWholeToo = false>
inline const char* ReadPoint(const char* text, double& x, double& y) {
    const char* p = ReadShortDecimal<kWholeToo>(SkipSpace(text + 1), x);
    if (p == nullptr) return nullptr;
    p = SkipSpace(p);
    if (*p != ',') return nullptr;
    p = ReadShortDecimal<kWholeToo>(SkipSpace(p + 1), y);
    if (p == nullptr) return nullptr;
    p = SkipSpace(p);
    return *p == ']' ? p + 1 : nullptr;
}

}  // namespace document::json_point
