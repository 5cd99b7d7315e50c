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
// The same into `into`, whose room a caller converting shape after shape keeps.
void ShapeOutline(const Element& element, const Viewport& viewport, PathData& into);

struct Box {
    double left = 0, top = 0, right = 0, bottom = 0;  // y down, as in SVG
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};

// The exact bounds of the outline (the curves' extrema included), or nothing for no geometry.
std::optional<Box> OutlineBox(const PathData& outline);

// The outline's bounds, computed when first asked for: only a gradient in the shape's bounding
// box needs them, and they cost a pass over every curve.
class LazyOutlineBox {
public:
    explicit LazyOutlineBox(const PathData& outline) : outline_(outline) {}
    const std::optional<Box>& Get() const {
        if (!computed_) box_ = OutlineBox(outline_), computed_ = true;
        return box_;
    }

private:
    const PathData& outline_;
    mutable bool computed_ = false;
    mutable std::optional<Box> box_;
};

}  // namespace document::svg
