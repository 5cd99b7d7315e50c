// viewBox and preserveAspectRatio.
#pragma once

#include <optional>
#include <string_view>

#include "document/svg/values/matrix.h"

namespace document::svg {

struct ViewBox {
    double x = 0, y = 0, width = 0, height = 0;
};

// Four numbers; nothing when malformed or when the width or height is not positive (SVG then
// disables rendering of the element for zero sizes, which the converter decides).
std::optional<ViewBox> ParseViewBox(std::string_view text);

struct PreserveAspectRatio {
    enum Align { kNone, kMin, kMid, kMax };
    Align x = kMid, y = kMid;
    bool slice = false;  // "slice" rather than "meet"
};

// Defaults to xMidYMid meet for text that is malformed.
PreserveAspectRatio ParsePreserveAspectRatio(std::string_view text);

// The matrix that maps the view box into a viewport of the given size at the origin.
// Added detail: a box without positive width and height gives the identity.
Matrix ViewBoxTransform(const ViewBox& box, const PreserveAspectRatio& aspect, double width, double height);

}  // namespace document::svg
