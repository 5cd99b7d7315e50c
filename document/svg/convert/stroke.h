// The stroke properties of an element as the host's stroke style (all but its colour).
#pragma once

#include "document/svg/convert/lengths.h"
#include "document/svg/tree/tree.h"
#include "host/host_types.h"

namespace document::svg {

struct StrokeGeometry {
    HostReal width = 1;
    HostReal miterLimit = 4;
    int32_t cap = kButtCap;
    int32_t join = kMiterJoin;
    int16_t dashCount = 0;
    HostReal dashes[kMaxDashes] = {};
    HostReal dashOffset = 0;
    bool dashesCut = false;     // the pattern had more dashes than the host holds
    bool roundedJoin = false;   // miter-clip or arcs, drawn as the nearest join the host has
};

// Widths and dash lengths are in user units scaled by `scale` (the mean scale of the user to
// document mapping). An odd dash list is repeated to make it even, as SVG says; a list with a
// negative length or with lengths that add up to zero strokes solid.
StrokeGeometry ResolveStroke(const Element& element, const Viewport& viewport, double scale);

}  // namespace document::svg
