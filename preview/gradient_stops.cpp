#include "preview/gradient_stops.h"

#include <algorithm>

namespace preview {

Color ColorAt(const std::vector<GradientStop>& sorted, double offset) {
    if (offset <= sorted.front().offset) return sorted.front().color;
    if (offset >= sorted.back().offset) return sorted.back().color;
    // The last stop at or before the offset, and the one after it.
    size_t after = 1;
    while (after < sorted.size() && sorted[after].offset <= offset) ++after;
    const GradientStop& a = sorted[after - 1];
    const GradientStop& b = sorted[after];
    const double t = (offset - a.offset) / (b.offset - a.offset);
    auto mix = [t](double x, double y) { return x + (y - x) * t; };
    return {mix(a.color.a, b.color.a), mix(a.color.r, b.color.r), mix(a.color.g, b.color.g), mix(a.color.b, b.color.b)};
}

std::vector<GradientStop> StopsWithinUnitRange(const std::vector<GradientStop>& stops) {
    if (stops.empty()) return {};
    std::vector<GradientStop> sorted = stops;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const GradientStop& x, const GradientStop& y) { return x.offset < y.offset; });
    std::vector<GradientStop> inside;
    for (const GradientStop& stop : sorted) {
        if (stop.offset >= 0 && stop.offset <= 1) inside.push_back(stop);
    }
    std::vector<GradientStop> result;
    if (inside.empty() || inside.front().offset > 0) result.push_back({0, ColorAt(sorted, 0)});
    result.insert(result.end(), inside.begin(), inside.end());
    if (inside.empty() || inside.back().offset < 1) result.push_back({1, ColorAt(sorted, 1)});
    return result;
}

}  // namespace preview
