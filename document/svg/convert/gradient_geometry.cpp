#include "document/svg/convert/gradient_geometry.h"

#include <cmath>
#include <numbers>

namespace document::svg {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

GradientFill Base(GradientHandle gradient, Point origin, const Matrix& gradientToDocument) {
    GradientFill fill{};
    fill.gradient = gradient;
    fill.origin = {static_cast<HostReal>(origin.x), static_cast<HostReal>(origin.y)};
    fill.matrix = ToRealMatrix(gradientToDocument);
    return fill;
}

}  // namespace

RealMatrix ToRealMatrix(const Matrix& m) {
    return {static_cast<HostReal>(m.a), static_cast<HostReal>(m.b), static_cast<HostReal>(m.c),
            static_cast<HostReal>(m.d), static_cast<HostReal>(m.e), static_cast<HostReal>(m.f)};
}

GradientFill LinearGradientFill(GradientHandle gradient, Point p1, Point p2, const Matrix& gradientToDocument) {
    GradientFill fill = Base(gradient, p1, gradientToDocument);
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    fill.angle = static_cast<HostReal>(std::atan2(dy, dx) * kDegreesPerRadian);
    fill.length = static_cast<HostReal>(std::hypot(dx, dy));
    return fill;
}

GradientFill RadialGradientFill(GradientHandle gradient, Point centre, double radius, Point focal,
                                const Matrix& gradientToDocument, bool& focalMoved) {
    GradientFill fill = Base(gradient, centre, gradientToDocument);
    fill.length = static_cast<HostReal>(radius);
    const double dx = focal.x - centre.x, dy = focal.y - centre.y;
    const double distance = std::hypot(dx, dy);
    focalMoved = false;
    if (distance > 0 && radius > 0) {
        double fraction = distance / radius;
        if (fraction > 1) {
            fraction = 1;
            focalMoved = true;
        }
        fill.hiliteAngle = static_cast<HostReal>(std::atan2(dy, dx) * kDegreesPerRadian);
        fill.hiliteLength = static_cast<HostReal>(fraction);
    }
    return fill;
}

}  // namespace document::svg
