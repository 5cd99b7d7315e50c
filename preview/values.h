// The attribute values of XAML as WPF's type converters read them: numbers in the invariant
// culture, points, rectangles, matrices, number lists, colours and keywords.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "preview/geometry.h"
#include "preview/scene_data.h"

namespace preview {

// A value that cannot be read; the reader adds the file, line, element and attribute.
class ValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string_view TrimSpace(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// A finite number; "Infinity" and "NaN" are refused, as nothing drawn can use them.
double ParseNumber(std::string_view text);
// A Width or Height: a number not below 0, or "Auto" (also "NaN") for none, given as NaN.
double ParseSize(std::string_view text);
Point ParsePoint(std::string_view text);
Rect ParseRect(std::string_view text);
// "m11,m12,m21,m22,offsetX,offsetY" or "Identity".
Matrix ParseMatrix(std::string_view text);
std::vector<double> ParseNumberList(std::string_view text);
// "#rgb", "#argb", "#rrggbb", "#aarrggbb" or one of WPF's colour names, in any case.
Color ParseColor(std::string_view text);
// The index of the keyword `text` matches, in any case (WPF reads enumerations so).
int ParseKeyword(std::string_view text, std::initializer_list<std::string_view> keywords);

}  // namespace preview
