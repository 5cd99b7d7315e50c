#include "preview/stroke_plan.h"

#include <algorithm>
#include <cmath>

namespace preview {
namespace {

Point Minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
double Length(Point v) { return std::hypot(v.x, v.y); }
bool IsZero(Point v) { return v.x == 0 && v.y == 0; }
Point Unit(Point v) {
    const double length = Length(v);
    return length > 0 && std::isfinite(length) ? Point{v.x / length, v.y / length} : Point{};
}

// The direction in which a segment leaves `from`, and in which it arrives at its end.
Point StartTangent(Point from, const Segment& s) {
    if (s.cubic) {
        if (!IsZero(Minus(s.control1, from))) return Unit(Minus(s.control1, from));
        if (!IsZero(Minus(s.control2, from))) return Unit(Minus(s.control2, from));
    }
    return Unit(Minus(s.end, from));
}
Point EndTangent(Point from, const Segment& s) {
    if (s.cubic) {
        if (!IsZero(Minus(s.end, s.control2))) return Unit(Minus(s.end, s.control2));
        if (!IsZero(Minus(s.end, s.control1))) return Unit(Minus(s.end, s.control1));
    }
    return Unit(Minus(s.end, from));
}

// A figure to stroke and the caps at its two ends (none on a closed one).
struct Piece {
    Figure figure;
    LineCap startCap = LineCap::kFlat, endCap = LineCap::kFlat;
    Point fallbackDirection;  // for a dash of no length
};

// Whether a closed figure needs its closing line drawn (its last point is not its start).
std::vector<Segment> Closed(const Figure& figure) {
    std::vector<Segment> segments = figure.segments;
    const Point last = segments.empty() ? figure.start : segments.back().end;
    if (last.x != figure.start.x || last.y != figure.start.y) {
        Segment closing;
        closing.end = figure.start;
        segments.push_back(closing);
    }
    return segments;
}

// The figure as a polyline, curves followed to within `tolerance`.
std::vector<Point> Flatten(const Figure& figure, double tolerance, bool closed) {
    std::vector<Point> points{figure.start};
    Point current = figure.start;
    for (const Segment& s : closed ? Closed(figure) : figure.segments) {
        if (s.cubic) {
            // Wang's bound on the pieces a cubic needs for the tolerance.
            const Point d1{current.x - 2 * s.control1.x + s.control2.x, current.y - 2 * s.control1.y + s.control2.y};
            const Point d2{s.control1.x - 2 * s.control2.x + s.end.x, s.control1.y - 2 * s.control2.y + s.end.y};
            const double bend = std::max(Length(d1), Length(d2));
            const double wanted = std::sqrt(0.75 * bend / tolerance);
            // Clamped as a real first: a huge bend must not overflow the conversion to int.
            const int pieces = std::isfinite(wanted) ? int(std::clamp(std::ceil(wanted), 1.0, 512.0)) : 512;
            for (int i = 1; i <= pieces; ++i) {
                const double t = double(i) / pieces, mt = 1 - t;
                const double a = mt * mt * mt, b = 3 * mt * mt * t, c = 3 * mt * t * t, d = t * t * t;
                points.push_back({a * current.x + b * s.control1.x + c * s.control2.x + d * s.end.x,
                                  a * current.y + b * s.control1.y + c * s.control2.y + d * s.end.y});
            }
        } else {
            points.push_back(s.end);
        }
        current = s.end;
    }
    return points;
}

double PolylineLength(const std::vector<Point>& points) {
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i) length += Length(Minus(points[i], points[i - 1]));
    return length;
}

Figure PolylineFigure(const std::vector<Point>& points) {
    Figure figure;
    figure.start = points.front();
    for (size_t i = 1; i < points.size(); ++i) {
        Segment segment;
        segment.end = points[i];
        figure.segments.push_back(segment);
    }
    return figure;
}

// Cuts one polyline into its dashes, caps at the figure's own ends from the pen's start and end
// caps, elsewhere its dash cap.
void CutDashes(const std::vector<Point>& points, bool closed, const std::vector<double>& pattern,
               double offset, const Pen& pen, std::vector<Piece>& pieces) {
    const size_t count = pattern.size();
    double period = 0;
    for (double dash : pattern) period += dash;
    size_t index = 0;
    double into = std::fmod(offset, period);
    if (into < 0) into += period;
    // Where the offset falls in the pattern; a dash of no length at the very start is kept.
    for (size_t steps = 0; into > 0 && pattern[index] <= into && steps < 2 * count; ++steps) {
        into -= pattern[index];
        index = (index + 1) % count;
    }
    into = std::max(0.0, std::min(into, pattern[index]));
    double remaining = pattern[index] - into;
    bool on = index % 2 == 0;

    const size_t firstPiece = pieces.size();
    std::vector<Point> current;
    bool currentAtStart = false;
    Point direction;
    if (on) {
        current.push_back(points.front());
        currentAtStart = true;
    }
    auto finish = [&](bool atEnd) {
        Piece piece;
        piece.figure = PolylineFigure(current);
        piece.startCap = currentAtStart && !closed ? pen.startCap : pen.dashCap;
        piece.endCap = atEnd && !closed ? pen.endCap : pen.dashCap;
        piece.fallbackDirection = direction;
        pieces.push_back(std::move(piece));
        current.clear();
    };
    bool startedOnAtStart = on;
    for (size_t i = 1; i < points.size(); ++i) {
        const Point a = points[i - 1], b = points[i];
        const double length = Length(Minus(b, a));
        if (length == 0) continue;
        direction = Unit(Minus(b, a));
        double position = 0;
        while (length - position > remaining) {
            position += remaining;
            const double t = position / length;
            const Point cut{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            if (on) {
                current.push_back(cut);
                finish(false);
            } else {
                current.push_back(cut);
                currentAtStart = false;
            }
            index = (index + 1) % count;
            on = !on;
            remaining = pattern[index];
        }
        remaining -= length - position;
        if (on) current.push_back(b);
    }
    if (on && !current.empty()) {
        if (closed && startedOnAtStart && pieces.size() > firstPiece) {
            // The dash over the closing point is one dash: join its two halves.
            Piece& first = pieces[firstPiece];
            std::vector<Point> joined = current;
            joined.push_back(first.figure.start);
            for (const Segment& s : first.figure.segments) joined.push_back(s.end);
            const LineCap endCap = first.endCap;
            first.figure = PolylineFigure(joined);
            first.startCap = pen.dashCap;
            first.endCap = endCap;
            current.clear();
        } else if (closed && startedOnAtStart) {
            // Never off: the whole closed figure is one dash.
            Piece piece;
            piece.figure = PolylineFigure(current);
            piece.figure.closed = true;
            pieces.push_back(std::move(piece));
            current.clear();
        } else {
            finish(true);
        }
    }
}

void AddCap(StrokePlan& plan, LineCap cap, Point at, Point outward, double half) {
    if (cap == LineCap::kFlat || IsZero(outward)) return;
    const Point normal{-outward.y * half, outward.x * half};
    const Point ahead{outward.x * half, outward.y * half};
    switch (cap) {
        case LineCap::kRound:
            plan.discs.push_back({at, half});
            break;
        case LineCap::kSquare:
            plan.polygons.push_back({{at.x + normal.x, at.y + normal.y},
                                     {at.x + normal.x + ahead.x, at.y + normal.y + ahead.y},
                                     {at.x - normal.x + ahead.x, at.y - normal.y + ahead.y},
                                     {at.x - normal.x, at.y - normal.y}});
            break;
        case LineCap::kTriangle:
            plan.polygons.push_back({{at.x + normal.x, at.y + normal.y}, {at.x + ahead.x, at.y + ahead.y},
                                     {at.x - normal.x, at.y - normal.y}});
            break;
        case LineCap::kFlat:
            break;
    }
}

// The part of the miter that WPF keeps beyond the bevel: the miter cut square to the bisector
// at `limit` half thicknesses from the join's point.
void AddClippedMiter(StrokePlan& plan, Point at, Point in, Point out, double half, double limit) {
    const double dot = in.x * out.x + in.y * out.y;
    if (2 <= limit * limit * (1 + dot)) return;  // within the limit: cairo mitres it
    const double cross = in.x * out.y - in.y * out.x;
    const double side = cross > 0 ? 1 : -1;
    const Point n1{in.y * side, -in.x * side}, n2{out.y * side, -out.x * side};
    Point bisector = Unit({n1.x + n2.x, n1.y + n2.y});
    if (IsZero(bisector)) bisector = in;
    const double along = in.x * bisector.x + in.y * bisector.y;
    if (along <= 1e-12) return;
    const double reach = (limit * half - half * (n1.x * bisector.x + n1.y * bisector.y)) / along;
    if (reach <= 0) return;
    const Point a{at.x + n1.x * half, at.y + n1.y * half}, b{at.x + n2.x * half, at.y + n2.y * half};
    plan.polygons.push_back({at, a, {a.x + in.x * reach, a.y + in.y * reach},
                             {b.x - out.x * reach, b.y - out.y * reach}, b});
}

void AddClippedMiters(StrokePlan& plan, const Figure& figure, double half, double limit) {
    const std::vector<Segment> segments = figure.closed ? Closed(figure) : figure.segments;
    struct Turn {
        Point at, in, out;
    };
    // Each segment's point of departure and its two tangents, degenerate segments passed over.
    std::vector<Turn> tangents;
    Point from = figure.start;
    for (const Segment& s : segments) {
        const Point leave = StartTangent(from, s), arrive = EndTangent(from, s);
        if (!IsZero(leave)) tangents.push_back({from, leave, arrive});
        from = s.end;
    }
    const size_t n = tangents.size();
    for (size_t i = 1; i < n; ++i) {
        AddClippedMiter(plan, tangents[i].at, tangents[i - 1].out, tangents[i].in, half, limit);
    }
    if (figure.closed && n > 1) AddClippedMiter(plan, tangents[0].at, tangents[n - 1].out, tangents[0].in, half, limit);
}

}  // namespace

StrokePlan PlanStroke(const Geometry& geometry, const Pen& pen, double thickness, double deviceScale) {
    StrokePlan plan;
    const double half = thickness / 2;
    std::vector<Piece> pieces;

    std::vector<double> pattern;
    double period = 0;
    for (double dash : pen.dashes) {
        pattern.push_back(dash * thickness);
        period += dash * thickness;
    }
    if (pattern.size() % 2 == 1) pattern.insert(pattern.end(), pattern.begin(), pattern.end());
    period = 0;
    double onLength = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        period += pattern[i];
        if (i % 2 == 0) onLength += pattern[i];
    }
    bool dashed = period > 0 && std::isfinite(period);

    const double tolerance = 0.2 / std::max(deviceScale, 1e-12);
    std::vector<std::vector<Point>> polylines;
    if (dashed) {
        double total = 0;
        for (const Figure& figure : geometry.figures) {
            polylines.push_back(Flatten(figure, tolerance, figure.closed));
            total += PolylineLength(polylines.back());
        }
        if (!(total / period * double(pattern.size()) <= kMaxDashes)) {
            dashed = false;
            plan.coverage = onLength / period;
        }
    }
    if (dashed) {
        for (size_t i = 0; i < polylines.size(); ++i) {
            CutDashes(polylines[i], geometry.figures[i].closed, pattern, pen.dashOffset * thickness, pen, pieces);
        }
    } else {
        for (const Figure& figure : geometry.figures) {
            Piece piece;
            piece.figure = figure;
            piece.startCap = pen.startCap;
            piece.endCap = pen.endCap;
            pieces.push_back(std::move(piece));
        }
    }

    // cairo draws the caps when every open piece's ends have the same cap and cairo has it.
    bool first = true, uniform = true;
    LineCap common = LineCap::kFlat;
    for (const Piece& piece : pieces) {
        if (piece.figure.closed) continue;
        for (LineCap cap : {piece.startCap, piece.endCap}) {
            if (first) common = cap;
            else if (cap != common) uniform = false;
            first = false;
        }
    }
    const bool cairoCaps = uniform && common != LineCap::kTriangle;
    plan.cap = cairoCaps ? common : LineCap::kFlat;

    for (const Piece& piece : pieces) {
        const Figure& figure = piece.figure;
        bool degenerate = true;
        for (const Segment& s : figure.segments) {
            if (s.end.x != figure.start.x || s.end.y != figure.start.y || s.cubic) degenerate = false;
        }
        if (!figure.closed && (degenerate || !cairoCaps)) {
            // Start: the first direction the figure takes; end: the last.
            Point start = piece.fallbackDirection, end = piece.fallbackDirection;
            Point from = figure.start;
            bool found = false;
            for (const Segment& s : figure.segments) {
                const Point t = StartTangent(from, s);
                if (!found && !IsZero(t)) start = t, found = true;
                from = s.end;
            }
            from = figure.start;
            for (const Segment& s : figure.segments) {
                const Point t = EndTangent(from, s);
                if (!IsZero(t)) end = t;
                from = s.end;
            }
            const Point last = figure.segments.empty() ? figure.start : figure.segments.back().end;
            AddCap(plan, piece.startCap, figure.start, {-start.x, -start.y}, half);
            AddCap(plan, piece.endCap, last, end, half);
        }
        if (degenerate && !figure.closed) continue;
        if (pen.join == LineJoin::kMiter) AddClippedMiters(plan, figure, half, std::max(1.0, pen.miterLimit));
        plan.lines.figures.push_back(figure);
    }
    return plan;
}

}  // namespace preview
