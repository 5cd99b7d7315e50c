#include "preview/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <system_error>

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

struct NamedColor {
    std::string_view name;
    uint32_t rgb;
};

// WPF's named colours, sorted for binary search (Transparent apart: it has no alpha).
constexpr NamedColor kNamedColors[] = {
    {"aliceblue", 0xf0f8ff}, {"antiquewhite", 0xfaebd7}, {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4}, {"azure", 0xf0ffff}, {"beige", 0xf5f5dc}, {"bisque", 0xffe4c4},
    {"black", 0x000000}, {"blanchedalmond", 0xffebcd}, {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2}, {"brown", 0xa52a2a}, {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0}, {"chartreuse", 0x7fff00}, {"chocolate", 0xd2691e},
    {"coral", 0xff7f50}, {"cornflowerblue", 0x6495ed}, {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c}, {"cyan", 0x00ffff}, {"darkblue", 0x00008b}, {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b}, {"darkgray", 0xa9a9a9}, {"darkgreen", 0x006400},
    {"darkkhaki", 0xbdb76b}, {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f}, {"darkorange", 0xff8c00}, {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000}, {"darksalmon", 0xe9967a}, {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b}, {"darkslategray", 0x2f4f4f}, 
    {"darkturquoise", 0x00ced1}, {"darkviolet", 0x9400d3}, {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff}, {"dimgray", 0x696969}, 
    {"dodgerblue", 0x1e90ff}, {"firebrick", 0xb22222}, {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22}, {"fuchsia", 0xff00ff}, {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff}, {"gold", 0xffd700}, {"goldenrod", 0xdaa520}, {"gray", 0x808080},
    {"green", 0x008000}, {"greenyellow", 0xadff2f}, {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4}, {"indianred", 0xcd5c5c}, {"indigo", 0x4b0082}, {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c}, {"lavender", 0xe6e6fa}, {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00}, {"lemonchiffon", 0xfffacd}, {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080}, {"lightcyan", 0xe0ffff}, {"lightgoldenrodyellow", 0xfafad2},
    {"lightgray", 0xd3d3d3}, {"lightgreen", 0x90ee90}, 
    {"lightpink", 0xffb6c1}, {"lightsalmon", 0xffa07a}, {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa}, {"lightslategray", 0x778899}, 
    {"lightsteelblue", 0xb0c4de}, {"lightyellow", 0xffffe0}, {"lime", 0x00ff00},
    {"limegreen", 0x32cd32}, {"linen", 0xfaf0e6}, {"magenta", 0xff00ff}, {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa}, {"mediumblue", 0x0000cd}, {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db}, {"mediumseagreen", 0x3cb371}, {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a}, {"mediumturquoise", 0x48d1cc}, {"mediumvioletred", 0xc71585},
    {"midnightblue", 0x191970}, {"mintcream", 0xf5fffa}, {"mistyrose", 0xffe4e1},
    {"moccasin", 0xffe4b5}, {"navajowhite", 0xffdead}, {"navy", 0x000080}, {"oldlace", 0xfdf5e6},
    {"olive", 0x808000}, {"olivedrab", 0x6b8e23}, {"orange", 0xffa500}, {"orangered", 0xff4500},
    {"orchid", 0xda70d6}, {"palegoldenrod", 0xeee8aa}, {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee}, {"palevioletred", 0xdb7093}, {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9}, {"peru", 0xcd853f}, {"pink", 0xffc0cb}, {"plum", 0xdda0dd},
    {"powderblue", 0xb0e0e6}, {"purple", 0x800080}, {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f}, {"royalblue", 0x4169e1}, {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072}, {"sandybrown", 0xf4a460}, {"seagreen", 0x2e8b57}, {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d}, {"silver", 0xc0c0c0}, {"skyblue", 0x87ceeb}, {"slateblue", 0x6a5acd},
    {"slategray", 0x708090}, {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f}, {"steelblue", 0x4682b4}, {"tan", 0xd2b48c}, {"teal", 0x008080},
    {"thistle", 0xd8bfd8}, {"tomato", 0xff6347}, {"turquoise", 0x40e0d0}, {"violet", 0xee82ee},
    {"wheat", 0xf5deb3}, {"white", 0xffffff}, {"whitesmoke", 0xf5f5f5}, {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
};
static_assert(std::is_sorted(std::begin(kNamedColors), std::end(kNamedColors),
                             [](const NamedColor& x, const NamedColor& y) { return x.name < y.name; }));

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
    std::string folded(trimmed);
    for (char& c : folded) c = Lower(c);
    const auto found = std::lower_bound(std::begin(kNamedColors), std::end(kNamedColors), std::string_view(folded),
                                        [](const NamedColor& entry, std::string_view key) { return entry.name < key; });
    if (found == std::end(kNamedColors) || found->name != folded) {
        throw ValueError(Quoted(trimmed) + " is not a colour");
    }
    return {1, double(found->rgb >> 16 & 0xff) / 255.0, double(found->rgb >> 8 & 0xff) / 255.0,
            double(found->rgb & 0xff) / 255.0};
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
