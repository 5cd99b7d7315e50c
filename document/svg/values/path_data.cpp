#include "document/svg/values/path_data.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "document/svg/values/scanner.h"

namespace document::svg {

namespace {

constexpr bool IsCommand(char c) {
    switch (c) {
        case 'M': case 'm': case 'L': case 'l': case 'H': case 'h': case 'V': case 'v':
        case 'C': case 'c': case 'S': case 's': case 'Q': case 'q': case 'T': case 't':
        case 'A': case 'a': case 'Z': case 'z':
            return true;
        default:
            return false;
    }
}

constexpr char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool Finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

Point Add(Point p, Point q) { return {p.x + q.x, p.y + q.y}; }
Point Lerp(Point from, Point to, double t) { return {from.x + t * (to.x - from.x), from.y + t * (to.y - from.y)}; }
Point Reflect(Point control, Point about) { return {2 * about.x - control.x, 2 * about.y - control.y}; }

// Builds the subpaths as the commands arrive. A subpath is opened lazily by its first segment,
// so that a moveto followed by another moveto (or by nothing) leaves no empty subpath behind;
// "M x y Z" does leave one, closed and without segments, since it is stroked as a dot.
class PathBuilder {
public:
    static constexpr size_t kFirstSegmentRoom = 8;

    explicit PathBuilder(PathData& data) : data_(data) {}

    Point Current() const { return current_; }

    void MoveTo(Point p) {
        current_ = start_ = p;
        open_ = false;
        pendingMove_ = true;
    }

    void Line(Point end) {
        Subpath& subpath = Open();
        subpath.segments.push_back({PathSegmentData::kLine, {}, {}, end});
        current_ = end;
    }

    void Cubic(Point c1, Point c2, Point end) {
        Subpath& subpath = Open();
        subpath.segments.push_back({PathSegmentData::kCubic, c1, c2, end});
        current_ = end;
    }

    void Close() {
        if (open_) {
            data_.subpaths.back().closed = true;
        } else if (pendingMove_) {
            data_.subpaths.push_back({start_, {}, true});
        }
        // After Z (twice or not) the next segment starts a new subpath at the old start.
        open_ = false;
        pendingMove_ = false;
        current_ = start_;
    }

private:
    Subpath& Open() {
        if (!open_) {
            // After a moveto the current point is the start; after Z it was set back to it.
            Subpath& subpath = data_.subpaths.emplace_back(Subpath{current_, {}, false});
            if (!data_.spareSegments.empty()) {
                subpath.segments = std::move(data_.spareSegments.back());
                data_.spareSegments.pop_back();
                subpath.segments.clear();
            } else {
                // Room for a few segments at once: most subpaths are short, and each growth is an
                // allocation and a copy.
                subpath.segments.reserve(kFirstSegmentRoom);
            }
            start_ = current_;
            open_ = true;
            pendingMove_ = false;
        }
        return data_.subpaths.back();
    }

    PathData& data_;
    Point current_, start_;
    bool open_ = false;
    bool pendingMove_ = false;
};

// An elliptical arc from the current point to `end`, as cubics of at most 90 degrees each,
// converted from endpoint to centre parameterisation the way SVG's implementation notes
// describe. Computed in the unit circle's coordinates (offsets divided by the radii) so that
// large radii do not overflow when squared. False when a control point is not finite.
bool AppendArc(PathBuilder& builder, double rx, double ry, double rotationDegrees, bool largeArc,
               bool sweep, Point end) {
    const Point start = builder.Current();
    if (start.x == end.x && start.y == end.y) return true;  // omitted altogether
    rx = std::abs(rx);
    ry = std::abs(ry);
    if (rx == 0 || ry == 0) {
        builder.Line(end);
        return true;
    }
    const Matrix rotation = Matrix::Rotate(rotationDegrees);
    const double cosine = rotation.a;
    const double sine = rotation.b;
    const double halfDx = (start.x - end.x) / 2;
    const double halfDy = (start.y - end.y) / 2;
    const double x1 = cosine * halfDx + sine * halfDy;
    const double y1 = -sine * halfDx + cosine * halfDy;
    double u = x1 / rx;
    double v = y1 / ry;
    const double lambda = u * u + v * v;
    double coefficient = 0;
    if (lambda > 1) {
        // Radii too small to reach the end: scaled up until they just do, centre halfway.
        const double scale = std::sqrt(lambda);
        rx *= scale;
        ry *= scale;
        u /= scale;
        v /= scale;
    } else {
        coefficient = std::sqrt(std::max(0.0, (1 - lambda) / lambda));
        if (largeArc == sweep) coefficient = -coefficient;
    }
    // Centre in the rotated frame, then the start and end directions on the unit circle.
    const double centreX1 = coefficient * rx * v;
    const double centreY1 = -coefficient * ry * u;
    const double theta1 = std::atan2(v + coefficient * u, u - coefficient * v);
    const double theta2 = std::atan2(-v + coefficient * u, -u - coefficient * v);
    double sweepAngle = theta2 - theta1;
    if (sweep && sweepAngle < 0) sweepAngle += 2 * std::numbers::pi;
    if (!sweep && sweepAngle > 0) sweepAngle -= 2 * std::numbers::pi;
    const double centreX = cosine * centreX1 - sine * centreY1 + (start.x + end.x) / 2;
    const double centreY = sine * centreX1 + cosine * centreY1 + (start.y + end.y) / 2;
    if (!std::isfinite(sweepAngle) || !std::isfinite(coefficient) || !std::isfinite(centreX) ||
        !std::isfinite(centreY) || !std::isfinite(rx) || !std::isfinite(ry)) {
        // Radii or offsets beyond what a double can square or divide (a chord of 1e-300 on a
        // radius of 1e300, say): the arc cannot be told from its chord.
        builder.Line(end);
        return true;
    }

    // A quarter turn is one segment even when rounding leaves it a hair over.
    const double quarters = std::abs(sweepAngle) / (std::numbers::pi / 2);
    const int count = std::clamp(static_cast<int>(std::ceil(quarters - 1e-9)), 1, 4);
    const double step = sweepAngle / count;
    const double handle = 4.0 / 3.0 * std::tan(step / 4);
    auto onEllipse = [&](double ux, double uy) {
        return Point{centreX + rx * cosine * ux - ry * sine * uy, centreY + rx * sine * ux + ry * cosine * uy};
    };
    for (int i = 0; i < count; ++i) {
        const double from = theta1 + step * i;
        const double to = i + 1 == count ? theta1 + sweepAngle : from + step;
        const double cosFrom = std::cos(from), sinFrom = std::sin(from);
        const double cosTo = std::cos(to), sinTo = std::sin(to);
        const Point c1 = onEllipse(cosFrom - handle * sinFrom, sinFrom + handle * cosFrom);
        const Point c2 = onEllipse(cosTo + handle * sinTo, sinTo - handle * cosTo);
        const Point segmentEnd = i + 1 == count ? end : onEllipse(cosTo, sinTo);
        if (!Finite(c1) || !Finite(c2) || !Finite(segmentEnd)) return false;
        builder.Cubic(c1, c2, segmentEnd);
    }
    return true;
}

class PathParser {
public:
    PathParser(std::string_view text, PathData& data) : text_(text), data_(data), builder_(data_) {}

    void Run() {
        scan::SkipSpace(text_, pos_);
        if (pos_ == text_.size()) return;
        if (text_[pos_] != 'M' && text_[pos_] != 'm') return Fail(pos_);
        char command = 0;
        while (true) {
            if (IsCommand(text_[pos_])) {
                command = text_[pos_++];
                scan::SkipSpace(text_, pos_);
                if (Upper(command) == 'Z') {
                    builder_.Close();
                    previous_ = Previous::kOther;
                } else if (!Segment(command)) {
                    return Fail(failure_);
                }
            } else {
                // Arguments without a command repeat the last one; a moveto repeats as lineto.
                if (command == 0 || Upper(command) == 'Z') return Fail(pos_);
                if (command == 'M') command = 'L';
                if (command == 'm') command = 'l';
                if (!Segment(command)) return Fail(failure_);
            }
            scan::SkipSpace(text_, pos_);
            bool comma = false;
            if (pos_ < text_.size() && text_[pos_] == ',') {
                comma = true;
                ++pos_;
                scan::SkipSpace(text_, pos_);
            }
            if (pos_ == text_.size()) {
                if (comma) return Fail(pos_);  // trailing comma
                break;
            }
            // A comma separates arguments only, never a command from what went before.
            if (comma && (IsCommand(text_[pos_]) || Upper(command) == 'Z')) return Fail(pos_);
        }
        return;
    }

private:
    enum class Previous { kOther, kCubic, kQuadratic };

    void Fail(size_t offset) {
        data_.error = true;
        data_.errorOffset = offset;
    }

    // `count` arguments into args_, separated by optional comma-whitespace; the positions in
    // `flagMask` are arc flags, a single '0' or '1'.
    bool Arguments(int count, unsigned flagMask = 0) {
        for (int i = 0; i < count; ++i) {
            if (i > 0) scan::SkipCommaSpace(text_, pos_);
            if (flagMask & (1u << i)) {
                if (pos_ < text_.size() && (text_[pos_] == '0' || text_[pos_] == '1')) {
                    args_[i] = text_[pos_++] == '1' ? 1 : 0;
                    continue;
                }
                failure_ = pos_;
                return false;
            }
            if (!scan::ScanNumber(text_, pos_, args_[i])) {
                failure_ = pos_;
                return false;
            }
        }
        return true;
    }

    Point Absolute(bool relative, double x, double y) const {
        return relative ? Add(builder_.Current(), {x, y}) : Point{x, y};
    }

    // One argument set of `command`, appended to the path; false (with failure_) when the
    // arguments are malformed or the result is not finite.
    bool Segment(char command) {
        const size_t begin = pos_;
        const bool relative = command >= 'a';
        const Point current = builder_.Current();
        Previous next = Previous::kOther;
        bool finite = true;
        switch (Upper(command)) {
            case 'M': {
                if (!Arguments(2)) return false;
                const Point p = Absolute(relative, args_[0], args_[1]);
                if (!(finite = Finite(p))) break;
                builder_.MoveTo(p);
                break;
            }
            case 'L': {
                if (!Arguments(2)) return false;
                const Point p = Absolute(relative, args_[0], args_[1]);
                if (!(finite = Finite(p))) break;
                builder_.Line(p);
                break;
            }
            case 'H': {
                if (!Arguments(1)) return false;
                const Point p{relative ? current.x + args_[0] : args_[0], current.y};
                if (!(finite = Finite(p))) break;
                builder_.Line(p);
                break;
            }
            case 'V': {
                if (!Arguments(1)) return false;
                const Point p{current.x, relative ? current.y + args_[0] : args_[0]};
                if (!(finite = Finite(p))) break;
                builder_.Line(p);
                break;
            }
            case 'C':
            case 'S': {
                const bool smooth = Upper(command) == 'S';
                if (!Arguments(smooth ? 4 : 6)) return false;
                const double* a = args_;
                Point c1;
                if (smooth) {
                    c1 = previous_ == Previous::kCubic ? Reflect(lastControl_, current) : current;
                } else {
                    c1 = Absolute(relative, a[0], a[1]);
                    a += 2;
                }
                const Point c2 = Absolute(relative, a[0], a[1]);
                const Point end = Absolute(relative, a[2], a[3]);
                if (!(finite = Finite(c1) && Finite(c2) && Finite(end))) break;
                builder_.Cubic(c1, c2, end);
                lastControl_ = c2;
                next = Previous::kCubic;
                break;
            }
            case 'Q':
            case 'T': {
                const bool smooth = Upper(command) == 'T';
                if (!Arguments(smooth ? 2 : 4)) return false;
                const double* a = args_;
                Point control;
                if (smooth) {
                    control = previous_ == Previous::kQuadratic ? Reflect(lastControl_, current) : current;
                } else {
                    control = Absolute(relative, a[0], a[1]);
                    a += 2;
                }
                const Point end = Absolute(relative, a[0], a[1]);
                if (!(finite = Finite(control) && Finite(end))) break;
                // Degree elevation, exact: the cubic traces the same curve.
                builder_.Cubic(Lerp(current, control, 2.0 / 3.0), Lerp(end, control, 2.0 / 3.0), end);
                lastControl_ = control;
                next = Previous::kQuadratic;
                break;
            }
            case 'A': {
                if (!Arguments(7, (1u << 3) | (1u << 4))) return false;
                const Point end = Absolute(relative, args_[5], args_[6]);
                finite = Finite(end) &&
                         AppendArc(builder_, args_[0], args_[1], args_[2], args_[3] != 0, args_[4] != 0, end);
                break;
            }
            default:
                break;
        }
        if (!finite) {
            failure_ = begin;
            return false;
        }
        previous_ = next;
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
    size_t failure_ = 0;
    PathData& data_;
    PathBuilder builder_;
    Previous previous_ = Previous::kOther;
    Point lastControl_;  // second control point of the last cubic, or the last quadratic's
    double args_[7] = {};
};

}  // namespace

PathData ParsePathData(std::string_view text) {
    PathData data;
    PathParser(text, data).Run();
    return data;
}

void ParsePathData(std::string_view text, PathData& into) {
    for (Subpath& subpath : into.subpaths) into.spareSegments.push_back(std::move(subpath.segments));
    into.subpaths.clear();
    into.error = false;
    into.errorOffset = 0;
    PathParser(text, into).Run();
}

PathData ParsePoints(std::string_view text, bool closed) {
    PathData data;
    PathBuilder builder(data);
    size_t pos = 0;
    scan::SkipSpace(text, pos);
    bool first = true;
    while (pos < text.size()) {
        const size_t pairStart = pos;
        double x = 0, y = 0;
        if (!scan::ScanNumber(text, pos, x)) {
            data.error = true;
            data.errorOffset = pos;
            break;
        }
        scan::SkipCommaSpace(text, pos);
        if (!scan::ScanNumber(text, pos, y)) {
            // An odd coordinate (or a bad one) ends the list; the pairs before it stand.
            data.error = true;
            data.errorOffset = pos == text.size() ? pairStart : pos;
            break;
        }
        const Point p{x, y};
        if (first) {
            builder.MoveTo(p);
            first = false;
        } else {
            builder.Line(p);
        }
        const size_t afterPair = pos;
        scan::SkipCommaSpace(text, pos);
        if (pos == text.size() && text.substr(afterPair).find(',') != std::string_view::npos) {
            data.error = true;
            data.errorOffset = afterPair;
        }
    }
    if (closed && !first) builder.Close();
    return data;
}

}  // namespace document::svg
