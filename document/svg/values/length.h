// Numbers, lengths and lists of them.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace document::svg {

enum class LengthUnit { kNone, kPx, kPt, kPc, kMm, kCm, kIn, kEm, kEx, kPercent };

struct Length {
    double value = 0;
    LengthUnit unit = LengthUnit::kNone;
};

// A CSS/SVG number ("-1.5e3", ".5", "+2"), using std::from_chars; the whole text must be the
// number, white space around it aside. Nothing for anything else, or for a value that is not
// finite.
std::optional<double> ParseNumber(std::string_view text);
std::optional<Length> ParseLength(std::string_view text);
// Lists separated by white space and/or commas; nothing when any item is bad.
// Added detail: empty text is an empty list; a stray, trailing or doubled comma is bad, and so
// are items run together ("1-2", "1px2px"). Units are read in any ASCII case.
std::optional<std::vector<double>> ParseNumberList(std::string_view text);
std::optional<std::vector<Length>> ParseLengthList(std::string_view text);

// Which dimension a percentage refers to.
enum class LengthAxis { kX, kY, kOther /* sqrt((w*w + h*h) / 2) */ };

// User units (px) of a length: 96 px to the inch; em is `fontSize`, ex half of it; a percentage
// of the viewport's width, height or normalised diagonal.
double ToUserUnits(Length length, LengthAxis axis, double viewportWidth, double viewportHeight,
                   double fontSize = 16);

}  // namespace document::svg
