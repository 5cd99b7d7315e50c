#include "preview/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <system_error>

#include "document/svg/values/color.h"

namespace preview {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::string Quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    if (text.size() > kShown) return "\"" + std::string(text.substr(0, kShown)) + "...\"";
    return "\"" + std::string(text) + "\"";
}

// Splits a list the way WPF's converters do: tokens apart by blanks, or by one comma with
// blanks around it.
std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsSpace(text[i])) ++i;
    if (i == n) return tokens;
    while (true) {
        const size_t start = i;
        while (i < n && !IsSpace(text[i]) && text[i] != ',') ++i;
        if (i == start) throw ValueError("an empty item in the list " + Quoted(text));
        tokens.push_back(text.substr(start, i - start));
        while (i < n && IsSpace(text[i])) ++i;
        if (i == n) break;
        if (text[i] == ',') {
            ++i;
            while (i < n && IsSpace(text[i])) ++i;
            if (i == n) throw ValueError("the list " + Quoted(text) + " ends with a comma");
        }
    }
    return tokens;
}

std::vector<double> Numbers(std::string_view text, size_t count, const char* what) {
    const std::vector<std::string_view> tokens = Tokens(text);
    if (tokens.size() != count) {
        throw ValueError(Quoted(text) + " is not " + what + " (" + std::to_string(count) + " numbers)");
    }
    std::vector<double> numbers;
    for (std::string_view token : tokens) numbers.push_back(ParseNumber(token));
    return numbers;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string_view TrimSpace(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

double ParseNumber(std::string_view text) {
    const std::string_view trimmed = TrimSpace(text);
    std::string_view digits = trimmed;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const bool startsLikeNumber = !digits.empty() &&
        ((digits.front() >= '0' && digits.front() <= '9') || digits.front() == '.' || digits.front() == '-');
    double value = 0;
    if (startsLikeNumber) {
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error == std::errc() && end == digits.data() + digits.size() && std::isfinite(value)) return value;
        if (error == std::errc::result_out_of_range) {
            throw ValueError(Quoted(trimmed) + " is beyond the range of numbers");
        }
    }
    throw ValueError(Quoted(trimmed) + " is not a finite number");
}

double ParseSize(std::string_view text) {
    const std::string_view trimmed = TrimSpace(text);
    if (EqualsIgnoringCase(trimmed, "Auto") || EqualsIgnoringCase(trimmed, "NaN")) return NAN;
    const double value = ParseNumber(trimmed);
    if (value < 0) throw ValueError("a size may not be negative: " + Quoted(trimmed));
    return value;
}

Point ParsePoint(std::string_view text) {
    const std::vector<double> n = Numbers(text, 2, "a point");
    return {n[0], n[1]};
}

Rect ParseRect(std::string_view text) {
    const std::vector<double> n = Numbers(text, 4, "a rectangle");
    if (n[2] < 0 || n[3] < 0) throw ValueError("a rectangle's width and height may not be negative: " + Quoted(text));
    return {n[0], n[1], n[2], n[3]};
}

Matrix ParseMatrix(std::string_view text) {
    if (EqualsIgnoringCase(TrimSpace(text), "Identity")) return {};
    const std::vector<double> n = Numbers(text, 6, "a matrix");
    return {n[0], n[1], n[2], n[3], n[4], n[5]};
}

std::vector<double> ParseNumberList(std::string_view text) {
    std::vector<double> numbers;
    for (std::string_view token : Tokens(text)) numbers.push_back(ParseNumber(token));
    return numbers;
}

Color ParseColor(std::string_view text) {
    const std::string_view trimmed = TrimSpace(text);
    if (!trimmed.empty() && trimmed.front() == '#') {
        const std::string_view hex = trimmed.substr(1);
        uint32_t value = 0;
        for (char c : hex) {
            const int digit = HexDigit(c);
            if (digit < 0) throw ValueError(Quoted(trimmed) + " is not a colour: not a hexadecimal digit");
            value = value << 4 | uint32_t(digit);
        }
        auto channel = [](uint32_t v) { return double(v & 0xff) / 255.0; };
        auto doubled = [](uint32_t v) { return double((v & 0xf) * 17) / 255.0; };
        switch (hex.size()) {
            case 3: return {1, doubled(value >> 8), doubled(value >> 4), doubled(value)};
            case 4: return {doubled(value >> 12), doubled(value >> 8), doubled(value >> 4), doubled(value)};
            case 6: return {1, channel(value >> 16), channel(value >> 8), channel(value)};
            case 8: return {channel(value >> 24), channel(value >> 16), channel(value >> 8), channel(value)};
            default: throw ValueError(Quoted(trimmed) + " is not a colour: 3, 4, 6 or 8 hexadecimal digits follow '#'");
        }
    }
    if (EqualsIgnoringCase(trimmed, "Transparent")) return {0, 1, 1, 1};
    // WPF names CSS's colours, but for the "grey" spellings and rebeccapurple.
    std::string folded(trimmed);
    for (char& c : folded) c = Lower(c);
    const bool cssOnly = folded.find("grey") != std::string::npos || folded == "rebeccapurple";
    const std::optional<document::svg::Color> named = cssOnly ? std::nullopt : document::svg::NamedColorOf(folded);
    if (!named) throw ValueError(Quoted(trimmed) + " is not a colour");
    return {1, double(named->rgb.r) / 255.0, double(named->rgb.g) / 255.0, double(named->rgb.b) / 255.0};
}

int ParseKeyword(std::string_view text, std::initializer_list<std::string_view> keywords) {
    const std::string_view trimmed = TrimSpace(text);
    int index = 0;
    std::string expected;
    for (std::string_view keyword : keywords) {
        if (EqualsIgnoringCase(trimmed, keyword)) return index;
        expected += (index == 0 ? "" : index + 1 == int(keywords.size()) ? " or " : ", ") + std::string(keyword);
        ++index;
    }
    throw ValueError(Quoted(trimmed) + " is not one of " + expected);
}

}  // namespace preview
