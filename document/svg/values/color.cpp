#include "document/svg/values/color.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "document/svg/values/scanner.h"

namespace document::svg {

namespace {

struct NamedColor {
    std::string_view name;
    uint32_t rgb;
};

// CSS's extended colour keywords (with rebeccapurple), sorted for binary search.
constexpr NamedColor kNamedColors[] = {
    {"aliceblue", 0xf0f8ff}, {"antiquewhite", 0xfaebd7}, {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4}, {"azure", 0xf0ffff}, {"beige", 0xf5f5dc}, {"bisque", 0xffe4c4},
    {"black", 0x000000}, {"blanchedalmond", 0xffebcd}, {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2}, {"brown", 0xa52a2a}, {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0}, {"chartreuse", 0x7fff00}, {"chocolate", 0xd2691e},
    {"coral", 0xff7f50}, {"cornflowerblue", 0x6495ed}, {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c}, {"cyan", 0x00ffff}, {"darkblue", 0x00008b}, {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b}, {"darkgray", 0xa9a9a9}, {"darkgreen", 0x006400},
    {"darkgrey", 0xa9a9a9}, {"darkkhaki", 0xbdb76b}, {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f}, {"darkorange", 0xff8c00}, {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000}, {"darksalmon", 0xe9967a}, {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b}, {"darkslategray", 0x2f4f4f}, {"darkslategrey", 0x2f4f4f},
    {"darkturquoise", 0x00ced1}, {"darkviolet", 0x9400d3}, {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff}, {"dimgray", 0x696969}, {"dimgrey", 0x696969},
    {"dodgerblue", 0x1e90ff}, {"firebrick", 0xb22222}, {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22}, {"fuchsia", 0xff00ff}, {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff}, {"gold", 0xffd700}, {"goldenrod", 0xdaa520}, {"gray", 0x808080},
    {"green", 0x008000}, {"greenyellow", 0xadff2f}, {"grey", 0x808080}, {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4}, {"indianred", 0xcd5c5c}, {"indigo", 0x4b0082}, {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c}, {"lavender", 0xe6e6fa}, {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00}, {"lemonchiffon", 0xfffacd}, {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080}, {"lightcyan", 0xe0ffff}, {"lightgoldenrodyellow", 0xfafad2},
    {"lightgray", 0xd3d3d3}, {"lightgreen", 0x90ee90}, {"lightgrey", 0xd3d3d3},
    {"lightpink", 0xffb6c1}, {"lightsalmon", 0xffa07a}, {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
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
    {"powderblue", 0xb0e0e6}, {"purple", 0x800080}, {"rebeccapurple", 0x663399}, {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f}, {"royalblue", 0x4169e1}, {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072}, {"sandybrown", 0xf4a460}, {"seagreen", 0x2e8b57}, {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d}, {"silver", 0xc0c0c0}, {"skyblue", 0x87ceeb}, {"slateblue", 0x6a5acd},
    {"slategray", 0x708090}, {"slategrey", 0x708090}, {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f}, {"steelblue", 0x4682b4}, {"tan", 0xd2b48c}, {"teal", 0x008080},
    {"thistle", 0xd8bfd8}, {"tomato", 0xff6347}, {"turquoise", 0x40e0d0}, {"violet", 0xee82ee},
    {"wheat", 0xf5deb3}, {"white", 0xffffff}, {"whitesmoke", 0xf5f5f5}, {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
};
static_assert(std::is_sorted(std::begin(kNamedColors), std::end(kNamedColors),
                             [](const NamedColor& x, const NamedColor& y) { return x.name < y.name; }));

Color FromRgb(uint32_t rgb, double alpha = 1) {
    Color color;
    color.rgb = {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), alpha};
    return color;
}

}  // namespace

std::optional<Color> NamedColorOf(std::string_view text) {
    char folded[24];
    if (text.size() >= sizeof folded) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) folded[i] = scan::ToLower(text[i]);
    const std::string_view name(folded, text.size());
    if (name == "transparent") return FromRgb(0, 0);
    const auto found = std::lower_bound(std::begin(kNamedColors), std::end(kNamedColors), name,
                                        [](const NamedColor& entry, std::string_view key) { return entry.name < key; });
    if (found == std::end(kNamedColors) || found->name != name) return std::nullopt;
    return FromRgb(found->rgb);
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = scan::ToLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "#" already removed: 3, 4, 6 or 8 hexadecimal digits.
std::optional<Color> HexColor(std::string_view digits) {
    int values[8];
    if (digits.size() != 3 && digits.size() != 4 && digits.size() != 6 && digits.size() != 8) return std::nullopt;
    for (size_t i = 0; i < digits.size(); ++i) {
        if ((values[i] = HexDigit(digits[i])) < 0) return std::nullopt;
    }
    int channels[4] = {0, 0, 0, 255};
    const bool shortForm = digits.size() <= 4;
    const size_t count = shortForm ? digits.size() : digits.size() / 2;
    for (size_t i = 0; i < count; ++i) {
        channels[i] = shortForm ? values[i] * 17 : values[2 * i] * 16 + values[2 * i + 1];
    }
    Color color;
    color.rgb = {static_cast<uint8_t>(channels[0]), static_cast<uint8_t>(channels[1]),
                 static_cast<uint8_t>(channels[2]), channels[3] / 255.0};
    return color;
}

struct Component {
    enum Kind { kNumber, kPercent, kAngle } kind = kNumber;
    double value = 0;  // angles in degrees
};

// The arguments of a colour function, either the comma form "a, b, c[, alpha]" or the space
// form "a b c[ / alpha]". `alphaGiven` tells whether a fourth component is present.
bool ScanComponents(std::string_view text, Component (&components)[4], bool& alphaGiven, bool& commaForm) {
    size_t pos = 0;
    int count = 0;
    bool slash = false;
    commaForm = false;
    scan::SkipSpace(text, pos);
    while (pos < text.size()) {
        if (count == 4) return false;
        Component& component = components[count];
        if (!scan::ScanNumber(text, pos, component.value)) return false;
        component.kind = Component::kNumber;
        if (pos < text.size() && text[pos] == '%') {
            component.kind = Component::kPercent;
            ++pos;
        } else {
            static constexpr struct { std::string_view unit; double degrees; } kAngles[] = {
                {"deg", 1}, {"grad", 0.9}, {"rad", 180 / std::numbers::pi}, {"turn", 360}};
            for (const auto& angle : kAngles) {
                if (scan::MatchesFolded(text, pos, angle.unit)) {
                    component.kind = Component::kAngle;
                    component.value *= angle.degrees;
                    pos += angle.unit.size();
                    break;
                }
            }
        }
        ++count;
        const size_t afterComponent = pos;
        scan::SkipSpace(text, pos);
        if (pos == text.size()) break;
        const char next = text[pos];
        if (next == ',') {
            // Commas between every pair of components, alpha as the fourth.
            if (slash || count > 3 || (count > 1 && !commaForm)) return false;
            commaForm = true;
        } else if (next == '/') {
            // Spaces between the colour's components, then "/ alpha".
            if (commaForm || slash || count != 3) return false;
            slash = true;
        } else {
            // Another component after white space, in the space form only.
            if (commaForm || slash || count >= 3 || pos == afterComponent) return false;
            continue;
        }
        ++pos;
        scan::SkipSpace(text, pos);
        if (pos == text.size()) return false;
    }
    if (count != 3 && count != 4) return false;
    alphaGiven = count == 4;
    return true;
}

// NaN (an infinite hue, say) counts as zero.
double Clamp01(double v) { return v > 0 ? (v < 1 ? v : 1) : 0; }

uint8_t Channel(double zeroToOne) { return static_cast<uint8_t>(std::lround(Clamp01(zeroToOne) * 255)); }

std::optional<Color> RgbFunction(const Component (&c)[4], bool alphaGiven, bool commaForm) {
    for (int i = 0; i < 3; ++i) {
        if (c[i].kind == Component::kAngle) return std::nullopt;
    }
    // The comma form wants all numbers or all percentages; the space form may mix them.
    if (commaForm && !(c[0].kind == c[1].kind && c[1].kind == c[2].kind)) return std::nullopt;
    auto channel = [](const Component& component) {
        return Channel(component.kind == Component::kPercent ? component.value / 100 : component.value / 255);
    };
    Color color;
    color.rgb = {channel(c[0]), channel(c[1]), channel(c[2]), 1};
    if (alphaGiven) {
        if (c[3].kind == Component::kAngle) return std::nullopt;
        color.rgb.alpha = Clamp01(c[3].kind == Component::kPercent ? c[3].value / 100 : c[3].value);
    }
    return color;
}

double HueToChannel(double m1, double m2, double hue) {
    if (hue < 0) hue += 1;
    if (hue > 1) hue -= 1;
    if (hue * 6 < 1) return m1 + (m2 - m1) * hue * 6;
    if (hue * 2 < 1) return m2;
    if (hue * 3 < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - hue) * 6;
    return m1;
}

std::optional<Color> HslFunction(const Component (&c)[4], bool alphaGiven) {
    if (c[0].kind == Component::kPercent || c[1].kind != Component::kPercent || c[2].kind != Component::kPercent) {
        return std::nullopt;
    }
    double hue = std::fmod(c[0].value, 360.0);
    if (hue < 0) hue += 360;
    hue /= 360;
    const double saturation = Clamp01(c[1].value / 100);
    const double lightness = Clamp01(c[2].value / 100);
    const double m2 = lightness <= 0.5 ? lightness * (saturation + 1) : lightness + saturation - lightness * saturation;
    const double m1 = lightness * 2 - m2;
    Color color;
    color.rgb = {Channel(HueToChannel(m1, m2, hue + 1.0 / 3.0)), Channel(HueToChannel(m1, m2, hue)),
                 Channel(HueToChannel(m1, m2, hue - 1.0 / 3.0)), 1};
    if (alphaGiven) {
        if (c[3].kind == Component::kAngle) return std::nullopt;
        color.rgb.alpha = Clamp01(c[3].kind == Component::kPercent ? c[3].value / 100 : c[3].value);
    }
    return color;
}

std::optional<Color> FunctionColor(std::string_view name, std::string_view arguments) {
    Component components[4];
    bool alphaGiven = false;
    bool commaForm = false;
    if (!ScanComponents(arguments, components, alphaGiven, commaForm)) return std::nullopt;
    auto is = [&](std::string_view lower) { return name.size() == lower.size() && scan::MatchesFolded(name, 0, lower); };
    if (is("rgb") || is("rgba")) return RgbFunction(components, alphaGiven, commaForm);
    if (is("hsl") || is("hsla")) return HslFunction(components, alphaGiven);
    return std::nullopt;
}

}  // namespace

std::optional<Color> ParseColor(std::string_view text) {
    const std::string_view trimmed = scan::Trim(text);
    if (trimmed.empty()) return std::nullopt;
    if (trimmed[0] == '#') return HexColor(trimmed.substr(1));
    const size_t open = trimmed.find('(');
    if (open != std::string_view::npos) {
        if (trimmed.back() != ')') return std::nullopt;
        return FunctionColor(trimmed.substr(0, open), trimmed.substr(open + 1, trimmed.size() - open - 2));
    }
    if (trimmed.size() == 12 && scan::MatchesFolded(trimmed, 0, "currentcolor")) {
        Color color;
        color.currentColor = true;
        return color;
    }
    return NamedColorOf(trimmed);
}

std::optional<Paint> ParsePaint(std::string_view text) {
    const std::string_view trimmed = scan::Trim(text);
    Paint paint;
    if (trimmed.size() == 4 && scan::MatchesFolded(trimmed, 0, "none")) return paint;
    if (scan::MatchesFolded(trimmed, 0, "url(")) {
        // A quoted reference may hold ')' itself: look for the bracket after the closing quote.
        size_t referenceStart = 4;
        scan::SkipSpace(trimmed, referenceStart);
        size_t searchFrom = referenceStart;
        if (referenceStart < trimmed.size() && (trimmed[referenceStart] == '"' || trimmed[referenceStart] == '\'')) {
            searchFrom = trimmed.find(trimmed[referenceStart], referenceStart + 1);
            if (searchFrom == std::string_view::npos) return std::nullopt;
        }
        const size_t close = trimmed.find(')', searchFrom);
        if (close == std::string_view::npos) return std::nullopt;
        std::string_view reference = scan::Trim(trimmed.substr(4, close - 4));
        if (!reference.empty() && (reference[0] == '"' || reference[0] == '\'')) {
            if (reference.size() < 2 || reference.back() != reference[0]) return std::nullopt;
            reference = reference.substr(1, reference.size() - 2);
        }
        paint.kind = Paint::kUrl;
        // Only references into this document can be followed; others stay empty (missing).
        if (!reference.empty() && reference[0] == '#') paint.url = reference.substr(1);
        const std::string_view fallback = scan::Trim(trimmed.substr(close + 1));
        if (fallback.empty()) return paint;
        paint.hasFallback = true;
        if (fallback.size() == 4 && scan::MatchesFolded(fallback, 0, "none")) {
            paint.fallbackNone = true;
            return paint;
        }
        const std::optional<Color> color = ParseColor(fallback);
        if (!color) return std::nullopt;
        paint.color = *color;
        return paint;
    }
    const std::optional<Color> color = ParseColor(trimmed);
    if (!color) return std::nullopt;
    paint.kind = Paint::kColor;
    paint.color = *color;
    return paint;
}

}  // namespace document::svg
