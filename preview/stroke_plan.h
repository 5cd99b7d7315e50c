// What a WPF pen strokes, prepared for cairo: the dashes cut out of the figures (WPF's dash
// caps differ from the start and end caps, which cairo cannot say), the caps cairo cannot draw,
// and the clipped miters of joins beyond the miter limit (WPF cuts a long miter off at the
// limit; cairo bevels it). Everything is in the element's own coordinates.
#pragma once

#include <vector>

#include "preview/geometry.h"
#include "preview/scene_data.h"

namespace preview {

struct Disc {
    Point center;
    double radius = 0;
};

struct StrokePlan {
    Geometry lines;              // stroked by cairo with `cap`, the pen's join and miter limit
    LineCap cap = LineCap::kFlat;  // kFlat, kSquare or kRound
    std::vector<std::vector<Point>> polygons;  // caps and clipped miters, filled
    std::vector<Disc> discs;                   // round caps cairo does not draw
    double coverage = 1;  // below 1: a dash pattern too fine to draw, stroked solid this faint

    bool HasExtras() const { return !polygons.empty() || !discs.empty(); }
};

// Dash patterns that would cut more dashes than this are stroked solid instead, at the share of
// the pattern that is dash.
constexpr double kMaxDashes = 100000;

// `deviceScale`: how many pixels one unit of the element's coordinates becomes; it sets how
// finely curves are followed when they are dashed.
StrokePlan PlanStroke(const Geometry& geometry, const Pen& pen, double thickness, double deviceScale);

}  // namespace preview
