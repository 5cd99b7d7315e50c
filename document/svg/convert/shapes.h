// The outlines of SVG's shapes, in the shape's user coordinates.
#pragma once

#include <optional>

#include "document/svg/convert/lengths.h"
#include "document/svg/tree/tree.h"
#include "document/svg/values/path_data.h"

namespace document::svg {

// The outline of a path, rect, circle, ellipse, line, polyline or polygon. Shapes that SVG does
// not render (a rect of zero width, a circle of no radius, ...) give no subpaths. A path whose
// data has an error holds what came before it, with `error` set.
PathData ShapeOutline(const Element& element, const Viewport& viewport);

struct Box {
    double left = 0, top = 0, right = 0, bottom = 0;  // y down, as in SVG
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// The exact bounds of the outline (the curves' extrema included), or nothing for no geometry.
std::optional<Box> OutlineBox(const PathData& outline);

}  // namespace document::svg
