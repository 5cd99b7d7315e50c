// The path data grammar ("d" of <path>, and the points of <polyline> and <polygon>).
#pragma once

#include <string_view>
#include <vector>

#include "document/svg/values/matrix.h"

namespace document::svg {

// One segment of a subpath, in absolute user coordinates. Lines keep their kind so that the
// converter can give their anchors straight (retracted) handles; quadratics are raised to
// cubics exactly and arcs become cubics of at most 90 degrees each.
struct PathSegmentData {
    enum Kind { kLine, kCubic } kind = kLine;
    Point c1, c2;  // control points (cubics only)
    Point end;
};

struct Subpath {
    Point start;
    std::vector<PathSegmentData> segments;
    bool closed = false;  // ended by Z/z
};

struct PathData {
    std::vector<Subpath> subpaths;
    // As SVG says, the path is drawn up to the first error; `error` is true when one was met
    // (the subpaths hold everything before it) and `errorOffset` is its byte offset.
    bool error = false;
    size_t errorOffset = 0;
    // Segment lists of earlier parses into this object, emptied, kept for their room.
    std::vector<std::vector<PathSegmentData>> spareSegments;
};

// Parses path data with the whole grammar: absolute and relative commands, implicit repeats,
// H and V, smooth S and T, quadratics, elliptical arcs (flags without separators too).
// Added detail: a moveto that no segment follows leaves no subpath (it draws nothing), but
// "M x y Z" leaves a closed subpath without segments (stroked as a dot with round or square
// caps); a closing Z adds no segment back to the start (`closed` says it); an arc whose
// endpoints coincide is left out and one with a zero radius is a line. Text that does not
// begin with M or m is an error at its first character, with nothing drawn; empty text is
// no error and no subpath. A segment whose coordinates overflow is an error at its arguments.
PathData ParsePathData(std::string_view text);
// The same into `into`, whose list of subpaths keeps its room (for a caller that parses path
// after path).
void ParsePathData(std::string_view text, PathData& into);

// Parses a <polyline>/<polygon> points list: an odd coordinate is dropped, as SVG says.
// `closed` marks the subpath closed (polygon).
// Added detail: a dropped odd coordinate, or a bad character, also sets `error` (offset of
// the coordinate or character) so that the loss can be reported; the pairs before it stand.
PathData ParsePoints(std::string_view text, bool closed);

}  // namespace document::svg
