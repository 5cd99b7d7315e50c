#include "document/svg/convert/host_path.h"

#include <cmath>

namespace document::svg {
namespace {

RealPoint ToReal(const Matrix& m, Point p) {
    const Point q = m.Apply(p);
    return {static_cast<HostReal>(q.x), static_cast<HostReal>(q.y)};
}

PathSegment Retracted(RealPoint p) {
    return {p, p, p, 1};
}

bool Same(RealPoint a, RealPoint b) {
    return a.h == b.h && a.v == b.v;
}

// A smooth anchor has both handles extended and on one line through it, on opposite sides.
bool IsCorner(const PathSegment& s) {
    if (Same(s.in, s.p) || Same(s.out, s.p)) return true;
    const double ix = double(s.in.h) - s.p.h, iy = double(s.in.v) - s.p.v;
    const double ox = double(s.out.h) - s.p.h, oy = double(s.out.v) - s.p.v;
    const double cross = ix * oy - iy * ox;
    const double dot = ix * ox + iy * oy;
    if (!(dot < 0)) return true;
    // |cross| <= 1e-6 |in| |out|, decided on squares where they are far from the bound (the
    // floats' differences are exact in double, the squares within a few units of the last
    // place), with hypot only near it.
    const double crossSquared = cross * cross;
    const double lengthsSquared = (ix * ix + iy * iy) * (ox * ox + oy * oy);
    if (crossSquared > 2e-12 * lengthsSquared) return true;
    if (crossSquared < 0.5e-12 * lengthsSquared) return false;
    const double scale = std::hypot(ix, iy) * std::hypot(ox, oy);
    return !(std::fabs(cross) <= 1e-6 * scale);
}

}  // namespace

std::optional<HostSubpath> ToHostSubpath(const Subpath& subpath, const Matrix& toDocument) {
    if (subpath.segments.empty()) return std::nullopt;
    HostSubpath out;
    out.closed = subpath.closed;
    out.segments.reserve(subpath.segments.size() + 1);
    out.segments.push_back(Retracted(ToReal(toDocument, subpath.start)));
    for (const PathSegmentData& segment : subpath.segments) {
        PathSegment anchor = Retracted(ToReal(toDocument, segment.end));
        if (segment.kind == PathSegmentData::kCubic) {
            out.segments.back().out = ToReal(toDocument, segment.c1);
            anchor.in = ToReal(toDocument, segment.c2);
        }
        out.segments.push_back(anchor);
    }
    const Point last = subpath.segments.back().end;
    if (subpath.closed && last.x == subpath.start.x && last.y == subpath.start.y) {
        out.segments.front().in = out.segments.back().in;
        out.segments.pop_back();
    }
    for (PathSegment& segment : out.segments) segment.corner = IsCorner(segment) ? 1 : 0;
    return out;
}

}  // namespace document::svg
