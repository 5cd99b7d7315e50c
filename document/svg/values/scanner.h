// The lexical pieces shared by every value grammar: white space, comma-separators and numbers.
// Each function looks at `text` from `pos`, advances `pos` past what it accepted and leaves it
// where it was otherwise, so that callers can report the offset of the first bad character.
#pragma once

#include <bit>
#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/exact_decimal.h"

namespace document::svg::scan {

constexpr bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline void SkipSpace(std::string_view text, size_t& pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
}

// White space with at most one comma inside it. Returns whether anything was skipped.
inline bool SkipCommaSpace(std::string_view text, size_t& pos) {
    const size_t start = pos;
    SkipSpace(text, pos);
    if (pos < text.size() && text[pos] == ',') {
        ++pos;
        SkipSpace(text, pos);
    }
    return pos != start;
}

// Every number's grammar, and its conversion when the quick one of ScanNumber (below) does not apply. Kept
// out of line, so that the common number is read without saving what this needs.
bool ScanNumberInFull(std::string_view text, size_t& pos, double& value);

// A number as SVG and CSS write it: sign, digits, fraction, exponent ("-1.5e3", ".5", "+2",
// "1."). The exponent is taken only when digits follow it, so "1em" is 1 and a unit. Values
// too large for a double fail; values too small to represent become zero. Inline, as path
// data and number lists read number after number.
inline bool ScanNumber(std::string_view text, size_t& pos, double& value) {
    // The common number: an optional sign, digits with an optional point among or after them,
    // 15 digits at most and no exponent, converted as ScanNumberInFull converts it.
    const char* p = text.data() + pos;
    const char* const end = text.data() + text.size();
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
#if defined(__SSE2__)
    // Where 32 bytes of the text follow, digits and point within 16 bytes are measured and
    // converted at once: the loops below stop at lengths the processor cannot predict.
    if (FLT_EVAL_METHOD == 0 && end - p >= 32) {
        const unsigned mask = DigitMask(p);
        const unsigned integerDigits = unsigned(std::countr_one(mask));
        if (integerDigits <= 8) {
            const char* after = p + integerDigits;
            unsigned fractionDigits = 0;
            if (*after == '.') {
                fractionDigits = unsigned(std::countr_one(mask >> (integerDigits + 1)));
                after += 1 + fractionDigits;
            }
            const unsigned total = integerDigits + fractionDigits;
            // The byte after the digits within the 16 measured (so that it is no digit), 15
            // digits at most, no exponent.
            if (after - p < 16 && total != 0 && total <= kMaxExactDigits && *after != 'e' && *after != 'E') {
                const double exact = double(DecimalDigitsAtOnce(p, integerDigits, fractionDigits)) /
                                     kExactPowersOfTen[fractionDigits];
                value = negative ? -exact : exact;
                pos = size_t(after - text.data());
                return true;
            }
        }
    }
#endif
    uint64_t digits = 0;
    const char* const integerStart = p;
    for (unsigned digit; p != end && (digit = unsigned(*p) - unsigned('0')) < 10; ++p) digits = digits * 10 + digit;
    const size_t integerDigits = size_t(p - integerStart);
    size_t fractionDigits = 0;
    if (p != end && *p == '.') {
        const char* const fractionStart = ++p;
        for (unsigned digit; p != end && (digit = unsigned(*p) - unsigned('0')) < 10; ++p) digits = digits * 10 + digit;
        fractionDigits = size_t(p - fractionStart);
    }
    if (FLT_EVAL_METHOD != 0 || integerDigits + fractionDigits == 0 || integerDigits + fractionDigits > kMaxExactDigits ||
        (p != end && (*p == 'e' || *p == 'E'))) {
        return ScanNumberInFull(text, pos, value);
    }
    const double exact = double(digits) / kExactPowersOfTen[fractionDigits];
    value = negative ? -exact : exact;
    pos = size_t(p - text.data());
    return true;
}

// `word` at `pos` compared without regard to ASCII case (for CSS keywords and units).
// Inline, as the keywords and units compared are short.
inline bool MatchesFolded(std::string_view text, size_t pos, std::string_view lowerWord) {
    if (pos > text.size() || text.size() - pos < lowerWord.size()) return false;
    for (size_t k = 0; k < lowerWord.size(); ++k) {
        if (ToLower(text[pos + k]) != lowerWord[k]) return false;
    }
    return true;
}

// Text with leading and trailing white space removed.
inline std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsSpace(text[begin])) ++begin;
    while (end > begin && IsSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace document::svg::scan
