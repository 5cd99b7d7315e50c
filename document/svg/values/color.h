// CSS colours and SVG paints.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace document::svg {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    double alpha = 1;  // from rgba(), hsla() or #rrggbbaa; 1 otherwise
};

struct Color {
    bool currentColor = false;  // "currentColor": the element's `color` property decides
    Rgb rgb;
};

// #rgb, #rrggbb (and #rgba, #rrggbbaa), rgb()/rgba() with numbers or percentages, hsl()/hsla(),
// every named colour (case-insensitive), "currentColor". Nothing for anything else.
std::optional<Color> ParseColor(std::string_view text);

// A colour keyword of CSS (case-insensitive, "transparent" too); nothing for any other text.
std::optional<Color> NamedColorOf(std::string_view text);

struct Paint {
    enum Kind { kNone, kColor, kUrl } kind = kNone;
    Color color;  // kColor, and a kUrl's fallback when hasFallback
    std::string_view url;  // the id referred to, without '#'; a view into the parsed text
    bool hasFallback = false;
    bool fallbackNone = false;  // url(#x) none
};

// "none", a colour, or "url(#id)" with an optional fallback colour or "none". Nothing for
// text that is not a paint (the property is then as if not given).
// Added detail: the reference may be quoted; one into another file ("url(a.svg#b)") is kUrl
// with an empty `url`, to be treated as a reference to nothing. "inherit" and the other
// CSS-wide keywords are the cascade's business and are not paints here.
std::optional<Paint> ParsePaint(std::string_view text);

}  // namespace document::svg
