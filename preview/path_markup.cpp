#include "preview/path_markup.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "preview/values.h"

namespace preview {
namespace {

constexpr double kPi = 3.14159265358979323846;

class MarkupParser {
public:
    explicit MarkupParser(std::string_view text) : text_(text) {}

    Geometry Parse(FillRule fallback) {
        geometry_.fillRule = fallback;
        SkipSpace();
        if (At('F')) {
            ++pos_;
            SkipSpace();
            if (At('0')) geometry_.fillRule = FillRule::kEvenOdd;
            else if (At('1')) geometry_.fillRule = FillRule::kNonzero;
            else Fail("F is followed by 0 or 1");
            ++pos_;
        }
        char previous = 0;
        bool first = true;
        while (true) {
            SkipSpace();
            if (pos_ == text_.size()) break;
            const char command = text_[pos_];
            if (!IsCommand(command)) Fail(std::string("'") + command + "' is not a command");
            if (first && command != 'M' && command != 'm') Fail("the first command is not M");
            first = false;
            ++pos_;
            Run(command, previous);
            previous = command;
        }
        return std::move(geometry_);
    }

private:
    static bool IsCommand(char c) {
        switch (c) {
            case 'M': case 'm': case 'L': case 'l': case 'H': case 'h': case 'V': case 'v':
            case 'C': case 'c': case 'Q': case 'q': case 'S': case 's': case 'T': case 't':
            case 'A': case 'a': case 'Z': case 'z':
                return true;
            default:
                return false;
        }
    }

    void Run(char command, char previous) {
        const bool relative = command >= 'a' && command <= 'z';
        const char upper = relative ? char(command - 'a' + 'A') : command;
        if (upper == 'Z') {
            if (figure_) {
                figure_->closed = true;
                current_ = figure_->start;
                figure_ = nullptr;
            }
            lastControl_ = current_;
            return;
        }
        bool once = true;
        char last = previous;
        // A command's parameters may repeat; after M further points are lines.
        while (once || NumberFollows()) {
            once = false;
            const Point origin = relative ? current_ : Point{};
            switch (upper) {
                case 'M': {
                    const Point p = ReadPoint(origin);
                    if (moved_) {
                        LineTo(p);
                    } else {
                        figure_ = &geometry_.figures.emplace_back();
                        figure_->start = p;
                        current_ = p;
                        moved_ = true;
                    }
                    break;
                }
                case 'L': LineTo(ReadPoint(origin)); break;
                case 'H': LineTo({ReadNumber() + origin.x, current_.y}); break;
                case 'V': LineTo({current_.x, ReadNumber() + origin.y}); break;
                case 'C': {
                    const Point c1 = ReadPoint(origin), c2 = ReadPoint(origin), end = ReadPoint(origin);
                    CubicTo(c1, c2, end);
                    break;
                }
                case 'S': {
                    const bool smooth = last == 'C' || last == 'c' || last == 'S' || last == 's';
                    const Point c1 = smooth ? Reflected(lastControl_) : current_;
                    const Point c2 = ReadPoint(origin), end = ReadPoint(origin);
                    CubicTo(c1, c2, end);
                    break;
                }
                case 'Q': {
                    const Point control = ReadPoint(origin), end = ReadPoint(origin);
                    QuadraticTo(control, end);
                    break;
                }
                case 'T': {
                    const bool smooth = last == 'Q' || last == 'q' || last == 'T' || last == 't';
                    const Point control = smooth ? Reflected(lastControl_) : current_;
                    QuadraticTo(control, ReadPoint(origin));
                    break;
                }
                case 'A': {
                    const double rx = ReadNumber(), ry = ReadNumber(), angle = ReadNumber();
                    const bool large = ReadNumber() != 0, sweep = ReadNumber() != 0;
                    ArcTo(rx, ry, angle, large, sweep, ReadPoint(origin));
                    break;
                }
                default: break;
            }
            last = command;
        }
        if (upper == 'M') moved_ = false;
    }

    Point Reflected(Point control) const { return {2 * current_.x - control.x, 2 * current_.y - control.y}; }

    Figure& CurrentFigure() {
        // A drawing command after Z starts a new figure where the closed one started.
        if (!figure_) {
            figure_ = &geometry_.figures.emplace_back();
            figure_->start = current_;
        }
        return *figure_;
    }

    void LineTo(Point p) {
        Segment segment;
        segment.end = p;
        CurrentFigure().segments.push_back(segment);
        current_ = p;
        lastControl_ = p;
    }

    void CubicTo(Point c1, Point c2, Point end) {
        Segment segment{true, c1, c2, end};
        CurrentFigure().segments.push_back(segment);
        current_ = end;
        lastControl_ = c2;
    }

    void QuadraticTo(Point control, Point end) {
        const Point c1{current_.x + 2.0 / 3.0 * (control.x - current_.x), current_.y + 2.0 / 3.0 * (control.y - current_.y)};
        const Point c2{end.x + 2.0 / 3.0 * (control.x - end.x), end.y + 2.0 / 3.0 * (control.y - end.y)};
        Segment segment{true, c1, c2, end};
        CurrentFigure().segments.push_back(segment);
        current_ = end;
        lastControl_ = control;
    }

    // The endpoint arc of the markup, as at most four cubics.
    void ArcTo(double rx, double ry, double angleDegrees, bool large, bool sweep, Point end) {
        const Point start = current_;
        rx = std::fabs(rx);
        ry = std::fabs(ry);
        if ((start.x == end.x && start.y == end.y)) {
            CurrentFigure();
            return;
        }
        if (rx == 0 || ry == 0) {
            LineTo(end);
            return;
        }
        const double phi = std::fmod(angleDegrees, 360.0) * kPi / 180.0;
        const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
        const double dx = (start.x - end.x) / 2, dy = (start.y - end.y) / 2;
        const double x1 = cosPhi * dx + sinPhi * dy, y1 = -sinPhi * dx + cosPhi * dy;
        const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
        if (lambda > 1) {
            const double grow = std::sqrt(lambda);
            rx *= grow;
            ry *= grow;
        }
        const double numerator = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
        const double denominator = rx * rx * y1 * y1 + ry * ry * x1 * x1;
        double factor = denominator == 0 ? 0 : std::sqrt(std::fmax(0.0, numerator / denominator));
        if (large == sweep) factor = -factor;
        const double cx1 = factor * rx * y1 / ry, cy1 = -factor * ry * x1 / rx;
        const double cx = cosPhi * cx1 - sinPhi * cy1 + (start.x + end.x) / 2;
        const double cy = sinPhi * cx1 + cosPhi * cy1 + (start.y + end.y) / 2;
        auto angleOf = [](double ux, double uy) { return std::atan2(uy, ux); };
        const double theta1 = angleOf((x1 - cx1) / rx, (y1 - cy1) / ry);
        double delta = angleOf((-x1 - cx1) / rx, (-y1 - cy1) / ry) - theta1;
        if (sweep && delta < 0) delta += 2 * kPi;
        if (!sweep && delta > 0) delta -= 2 * kPi;
        if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(delta) || !std::isfinite(rx) || !std::isfinite(ry)) {
            LineTo(end);
            return;
        }
        const int pieces = std::max(1, int(std::ceil(std::fabs(delta) / (kPi / 2) - 1e-9)));
        const double step = delta / pieces;
        const double k = 4.0 / 3.0 * std::tan(step / 4);
        auto onEllipse = [&](double t) {
            const double x = rx * std::cos(t), y = ry * std::sin(t);
            return Point{cosPhi * x - sinPhi * y + cx, sinPhi * x + cosPhi * y + cy};
        };
        auto derivative = [&](double t) {
            const double x = -rx * std::sin(t), y = ry * std::cos(t);
            return Point{cosPhi * x - sinPhi * y, sinPhi * x + cosPhi * y};
        };
        double t = theta1;
        Point from = start;
        for (int i = 0; i < pieces; ++i) {
            const double next = t + step;
            const Point d0 = derivative(t), d1 = derivative(next);
            const Point to = i + 1 == pieces ? end : onEllipse(next);
            CubicTo({from.x + k * d0.x, from.y + k * d0.y}, {to.x - k * d1.x, to.y - k * d1.y}, to);
            from = to;
            t = next;
        }
        lastControl_ = end;
    }

    bool At(char c) const { return pos_ < text_.size() && text_[pos_] == c; }

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r')) ++pos_;
    }

    void SkipSeparator() {
        SkipSpace();
        if (At(',')) {
            ++pos_;
            SkipSpace();
        }
    }

    bool NumberFollows() {
        SkipSeparator();
        if (pos_ == text_.size()) return false;
        const char c = text_[pos_];
        return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+';
    }

    double ReadNumber() {
        SkipSeparator();
        const size_t start = pos_;
        size_t i = pos_;
        const size_t n = text_.size();
        if (i < n && (text_[i] == '+' || text_[i] == '-')) ++i;
        const size_t digitsFrom = i;
        while (i < n && text_[i] >= '0' && text_[i] <= '9') ++i;
        if (i < n && text_[i] == '.') {
            ++i;
            while (i < n && text_[i] >= '0' && text_[i] <= '9') ++i;
        }
        if (i == digitsFrom || (i == digitsFrom + 1 && text_[digitsFrom] == '.')) {
            Fail(pos_ == n ? "a number is missing at the end" : "a number is expected");
        }
        if (i < n && (text_[i] == 'e' || text_[i] == 'E')) {
            size_t j = i + 1;
            if (j < n && (text_[j] == '+' || text_[j] == '-')) ++j;
            if (j < n && text_[j] >= '0' && text_[j] <= '9') {
                while (j < n && text_[j] >= '0' && text_[j] <= '9') ++j;
                i = j;
            }
        }
        std::string_view token = text_.substr(start, i - start);
        if (!token.empty() && token.front() == '+') token.remove_prefix(1);
        double value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value)) {
            Fail("the number " + std::string(text_.substr(start, i - start)) + " is out of range");
        }
        pos_ = i;
        return value;
    }

    Point ReadPoint(Point origin) {
        const double x = ReadNumber();
        const double y = ReadNumber();
        const Point p{x + origin.x, y + origin.y};
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) Fail("a point is beyond the range of numbers");
        return p;
    }

    [[noreturn]] void Fail(const std::string& message) const {
        throw ValueError("path markup, at character " + std::to_string(pos_ + 1) + ": " + message);
    }

    std::string_view text_;
    size_t pos_ = 0;
    Geometry geometry_;
    Figure* figure_ = nullptr;  // the figure being drawn; none after Z
    bool moved_ = false;        // within the points of an M command
    Point current_, lastControl_;
};

}  // namespace

Geometry ParsePathMarkup(std::string_view text, FillRule fallback) {
    return MarkupParser(text).Parse(fallback);
}

}  // namespace preview
