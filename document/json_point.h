// Points, the arrays that make up nearly all of a large document ([-1107.36597, -1131.39941]),
// read from their text without the JSON parser's walk of an array and its general number
// conversion.
#pragma once

#include <bit>
#include <cfloat>
#include <cstdint>
#include <cstring>

#include "document/exact_decimal.h"

namespace document::json_point {

inline bool IsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

inline const char* SkipSpace(const char* p) {
    while (IsSpace(*p)) ++p;
    return p;
}

// A short decimal as read: its digits, without the point, and how many of them follow the
// point.
struct ShortDecimal {
    uint64_t digits = 0;
    unsigned decimals = 0;
    bool negative = false;
};

// The nearest double: the digits and the power of ten that divides them are exact doubles, so
// that the one division rounds once, to the nearest.
inline double ValueOf(const ShortDecimal& number) {
    const double magnitude = double(number.digits) / kExactPowersOfTen[number.decimals];
    return number.negative ? -magnitude : magnitude;
}

#if defined(__SSE2__)
// ReadShortDigits' common case, from `p`, past the minus: integer digits (at most 8) and
// decimals within 16 bytes. `decided` tells whether the answer is given (one past the number,
// or nullptr); otherwise the number is left to the digit loops.
template <bool kWholeToo>
inline const char* ReadDigitsAtOnce(const char* p, ShortDecimal& number, bool& decided) {
    const unsigned digitMask = DigitMask(p);
    const unsigned integerDigits = unsigned(std::countr_one(digitMask));
    if (integerDigits == 0 || integerDigits > 8 || (*p == '0' && integerDigits > 1)) return nullptr;
    const char* point = p + integerDigits;
    if (*point != '.') {
        decided = true;
        if (!kWholeToo) return nullptr;
        number.digits = EightDigits(p, integerDigits);
        number.decimals = 0;
        return point;
    }
    const unsigned fractionDigits = unsigned(std::countr_one(digitMask >> (integerDigits + 1)));
    // Within the 16 bytes (the mask's own end stops the count), and 15 digits at most.
    if (fractionDigits == 0 || integerDigits + 1 + fractionDigits >= 16 || integerDigits + fractionDigits > kMaxExactDigits) {
        return nullptr;
    }
    decided = true;
    number.digits = DecimalDigitsAtOnce(p, integerDigits, fractionDigits);
    number.decimals = fractionDigits;
    return point + 1 + fractionDigits;
}
#endif

// Reads a number written as an optional minus, integer digits without leading zeros, a point
// and one or more decimals, 15 digits in all at most. With `kWholeToo`, integer digits alone are
// read as well. Returns one past its last digit, or nullptr for anything else (no point, more
// digits, invalid text), which is left to the parser; what follows the digits is the caller's
// to check. The text must be followed by 32 readable bytes.
template <bool kWholeToo = false>
inline const char* ReadShortDigits(const char* text, ShortDecimal& number) {
    const char* p = text;
    number.negative = *p == '-';
    p += number.negative ? 1 : 0;
#if defined(__SSE2__)
    // The common case, digits and point within 16 bytes, measured at once: the loops below
    // stop at lengths the processor cannot predict.
    bool decided = false;
    const char* const end = ReadDigitsAtOnce<kWholeToo>(p, number, decided);
    if (decided) return end;
#endif
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
    number.digits = digits;
    number.decimals = unsigned(fractionDigits);
    return p;
}

// ReadShortDigits, giving the nearest double, as the parser gives it. Where doubles are computed
// with more precision (x87), the division would round twice: nothing is read then.
template <bool kWholeToo = false>
inline const char* ReadShortDecimal(const char* text, double& value) {
#if FLT_EVAL_METHOD != 0
    (void)text;
    (void)value;
    return nullptr;
#else
    ShortDecimal number;
    const char* const end = ReadShortDigits<kWholeToo>(text, number);
    if (end != nullptr) value = ValueOf(number);
    return end;
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
