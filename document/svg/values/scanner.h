// The lexical pieces shared by every value grammar: white space, comma-separators and numbers.
// Each function looks at `text` from `pos`, advances `pos` past what it accepted and leaves it
// where it was otherwise, so that callers can report the offset of the first bad character.
#pragma once

#include <cstddef>
#include <string_view>

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

// A number as SVG and CSS write it: sign, digits, fraction, exponent ("-1.5e3", ".5", "+2",
// "1."). The exponent is taken only when digits follow it, so "1em" is 1 and a unit. Values
// too large for a double fail; values too small to represent become zero.
bool ScanNumber(std::string_view text, size_t& pos, double& value);

// `word` at `pos` compared without regard to ASCII case (for CSS keywords and units).
bool MatchesFolded(std::string_view text, size_t pos, std::string_view lowerWord);

// Text with leading and trailing white space removed.
std::string_view Trim(std::string_view text);

}  // namespace document::svg::scan
