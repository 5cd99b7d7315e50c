#include "svg_documents.h"

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

// The shortest text that reads back as the same 32-bit real.
void Number(std::ostream& out, HostReal value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(value));
    out << text;
}

void Point(std::ostream& out, RealPoint point) {
    out << ' ';
    Number(out, point.h);
    out << ' ';
    Number(out, point.v);
}

int Channel(HostReal value) {
    return std::clamp(int(value * 255.0f + 0.5f), 0, 255);
}

void Path(std::ostream& out, const document::Art& art) {
    const auto& segments = art.segments;
    if (segments.empty()) return;
    out << "<path d=\"M";
    Point(out, segments[0].p);
    for (size_t i = 1; i < segments.size(); ++i) {
        out << " C";
        Point(out, segments[i - 1].out);
        Point(out, segments[i].in);
        Point(out, segments[i].p);
    }
    if (art.closed) {
        out << " C";
        Point(out, segments.back().out);
        Point(out, segments[0].in);
        Point(out, segments[0].p);
        out << " Z";
    }
    out << '"';
    const HostColor& fill = art.style.fill.color;
    if (art.style.fillPaint && fill.kind == kThreeColor) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", Channel(fill.c.rgb.red), Channel(fill.c.rgb.green),
                      Channel(fill.c.rgb.blue));
        out << " fill=\"" << colour << '"';
    } else {
        out << " fill=\"none\"";
    }
    out << "/>\n";
}

void Art(std::ostream& out, const document::Art& art) {
    if (art.type == kPathArt) Path(out, art);
    for (const auto& child : art.children) Art(out, *child);
}

}  // namespace

void WriteSvg(const document::Document& document, std::ostream& out) {
    RealRect extent{0, 0, 0, 0};
    bool first = true;
    for (const auto& layer : document.layers) {
        const RealRect bounds = document::BoundsOf(*layer);
        if (first) {
            extent = bounds;
            first = false;
        } else {
            extent = {std::min(extent.left, bounds.left), std::max(extent.top, bounds.top),
                      std::max(extent.right, bounds.right), std::min(extent.bottom, bounds.bottom)};
        }
    }
    // The model's top is its largest v; SVG's y grows downwards, so the view box starts at the
    // smallest coordinate on both axes.
    const HostReal minY = std::min(extent.top, extent.bottom);
    const HostReal height = std::max(extent.top, extent.bottom) - minY;
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";
    Number(out, extent.left);
    out << ' ';
    Number(out, minY);
    out << ' ';
    Number(out, extent.right - extent.left);
    out << ' ';
    Number(out, height);
    out << "\">\n";
    for (const auto& layer : document.layers) Art(out, *layer);
    out << "</svg>\n";
}

}  // namespace bench
