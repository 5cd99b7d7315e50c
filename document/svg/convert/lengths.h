// Lengths of attributes in user units, against the viewport in force.
#pragma once

#include <optional>
#include <string_view>

#include "document/svg/tree/tree.h"
#include "document/svg/values/length.h"

namespace document::svg {

struct Viewport {
    double width = 0, height = 0;
};

// The attribute as a length in user units, or nothing when it is absent or not a length.
std::optional<double> LengthAttribute(const Element& element, std::string_view name, LengthAxis axis,
                                      const Viewport& viewport, double fontSize = 16);

// The element's computed font size in px (for em and ex).
double FontSizeOf(const Element& element);

}  // namespace document::svg
