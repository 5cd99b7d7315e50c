#include "document/svg/values/scanner.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace document::svg::scan {

namespace {

// Decimal magnitude of a scanned number whose conversion fell out of range, to tell an
// underflow (which is simply zero) from an overflow (which is an error).
long Magnitude(std::string_view digits, long exponent) {
    size_t i = 0;
    long integerDigits = 0;
    bool significant = false;
    for (; i < digits.size() && IsDigit(digits[i]); ++i) {
        if (digits[i] != '0') significant = true;
        if (significant) ++integerDigits;
    }
    if (significant) return integerDigits + exponent;
    long leadingZeros = 0;
    if (i < digits.size() && digits[i] == '.') {
        for (++i; i < digits.size() && digits[i] == '0'; ++i) ++leadingZeros;
    }
    return exponent - leadingZeros;
}

}  // namespace

bool ScanNumberInFull(std::string_view text, size_t& pos, double& value) {
    const size_t n = text.size();
    size_t i = pos;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t mantissaStart = i;
    // The digits are gathered as they are scanned, for the exact conversion below.
    uint64_t digits = 0;
    const char* const textEnd = text.data() + n;
    // A run of digits from `from`, appended to `digits`; answers where it stops.
    const auto scanDigits = [textEnd, &digits](const char* from) {
        for (unsigned digit; from != textEnd && (digit = unsigned(*from) - unsigned('0')) < 10; ++from) digits = digits * 10 + digit;
        return from;
    };
    const char* const integerStart = text.data() + i;
    const char* p = scanDigits(integerStart);
    const size_t integerDigits = size_t(p - integerStart);
    i += integerDigits;
    size_t fractionDigits = 0;
    if (p != textEnd && *p == '.') {
        const uint64_t integerPart = digits;
        const char* const fractionEnd = scanDigits(p + 1);
        fractionDigits = size_t(fractionEnd - (p + 1));
        // "1." is a number; a lone "." is not.
        if (integerDigits > 0 || fractionDigits > 0) {
            i += 1 + fractionDigits;
        } else {
            digits = integerPart;
        }
    }
    if (integerDigits == 0 && fractionDigits == 0) return false;
    const size_t mantissaEnd = i;
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool exponentNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            exponentNegative = text[j] == '-';
            ++j;
        }
        if (j < n && IsDigit(text[j])) {
            for (; j < n && IsDigit(text[j]); ++j) {
                if (exponent < 1000000) exponent = exponent * 10 + (text[j] - '0');
            }
            if (exponentNegative) exponent = -exponent;
            i = j;
        }
    }
    // Up to 15 digits are exact in a double, and so is 10^k up to 10^22: their product or
    // quotient is then rounded once, to the very double from_chars answers. Numbers of path data
    // are nearly always such; the others (and an evaluation in wider registers) take from_chars.
    const long scale = exponent - long(fractionDigits);
    if (FLT_EVAL_METHOD == 0 && integerDigits + fractionDigits <= kMaxExactDigits && scale >= -22 && scale <= 22) {
        double exact = double(digits);
        exact = scale < 0 ? exact / kExactPowersOfTen[-scale] : exact * kExactPowersOfTen[scale];
        value = negative ? -exact : exact;
        pos = i;
        return true;
    }
    // from_chars takes a '-' but not a '+'.
    const char* first = text.data() + (negative ? mantissaStart - 1 : mantissaStart);
    const char* last = text.data() + i;
    double parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        if (Magnitude(text.substr(mantissaStart, mantissaEnd - mantissaStart), exponent) >= 0) return false;
        parsed = negative ? -0.0 : 0.0;
    } else if (error != std::errc() || end != last || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    pos = i;
    return true;
}

}  // namespace document::svg::scan
