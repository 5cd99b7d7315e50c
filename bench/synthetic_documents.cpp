#include "synthetic_documents.h"

#include <memory>
#include <utility>

namespace bench {

namespace {

using document::Art;
using document::Document;

// A small linear congruential sequence: the same coordinates on every machine.
class Coordinates {
public:
    explicit Coordinates(uint32_t seed) : state_(seed) {}

    // A coordinate between -1234.5678 and 5000, as drawings hold them: most with a fractional
    // part, one in sixteen a whole number.
    HostReal Next() {
        const uint32_t bits = Step();
        const float unit = static_cast<float>(bits >> 8) / 16777216.0f;
        const float value = -1234.5678f + unit * 6234.5678f;
        return (bits & 15u) == 0 ? static_cast<float>(static_cast<int>(value)) : value;
    }
    // A handle offset of up to 40 units either way.
    HostReal Offset() { return static_cast<float>(Step() >> 8) / 16777216.0f * 80.0f - 40.0f; }

private:
    uint32_t Step() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_;
    }
    uint32_t state_;
};

std::unique_ptr<Art> CurvedPath(Coordinates& coordinates, int segmentCount) {
    auto path = std::make_unique<Art>();
    path->type = kPathArt;
    path->name = document::DefaultArtName(kPathArt);
    path->defaultName = true;
    path->closed = true;
    path->segments.reserve(static_cast<size_t>(segmentCount));
    for (int i = 0; i < segmentCount; ++i) {
        PathSegment segment{};
        segment.p = {coordinates.Next(), coordinates.Next()};
        // Extended handles on both sides make every segment a curve.
        segment.in = {segment.p.h - coordinates.Offset(), segment.p.v - coordinates.Offset()};
        segment.out = {segment.p.h + coordinates.Offset(), segment.p.v + coordinates.Offset()};
        segment.corner = 0;
        path->segments.push_back(segment);
    }
    return path;
}

HostColor Rgb(HostReal red, HostReal green, HostReal blue) {
    HostColor color{};
    color.kind = kThreeColor;
    color.c.rgb = {red, green, blue};
    return color;
}

std::unique_ptr<Art> RootGroup() {
    auto root = std::make_unique<Art>();
    root->type = kGroupArt;
    root->name = "Layer 1";
    root->defaultName = true;
    return root;
}

}  // namespace

void StoreLayerBounds(Document& document) {
    document.Link();
    for (auto& root : document.layers) {
        if (!root->bounds) root->bounds = document::BoundsOf(*root);
    }
}

Document CurvedPaths(int pathCount, int segmentCount) {
    Coordinates coordinates(12345u);
    Document document;
    auto root = RootGroup();
    for (int n = 0; n < pathCount; ++n) {
        std::unique_ptr<Art> path = CurvedPath(coordinates, segmentCount);
        PathStyle& style = path->EditStyle();
        style.fillPaint = 1;
        style.fill.color = Rgb(0.2f, static_cast<float>(n % 256) / 255.0f, 0.6f);
        root->Add(std::move(path));
    }
    document.layers.push_back(std::move(root));
    StoreLayerBounds(document);
    return document;
}

Document GradientDashedPaths(int pathCount, int segmentCount, int stopCount) {
    Coordinates coordinates(67890u);
    Document document;
    document::Gradient* gradients[2] = {};
    for (int16_t type : {kLinearGradient, kRadialGradient}) {
        auto gradient = std::make_unique<document::Gradient>();
        gradient->type = type;
        for (int i = 0; i < stopCount; ++i) {
            GradientStop stop{};
            stop.position = 100.0f * static_cast<float>(i) / static_cast<float>(stopCount - 1);
            stop.midpoint = 35.0f + static_cast<float>(i % 4) * 10.0f;
            stop.color = Rgb(static_cast<float>(i) / static_cast<float>(stopCount), 0.5f, 1.0f - 0.1f * static_cast<float>(i % 8));
            gradient->stops.push_back(stop);
        }
        gradients[type] = gradient.get();
        document.gradients[type == kLinearGradient ? "linear" : "radial"] = std::move(gradient);
    }

    auto root = RootGroup();
    for (int n = 0; n < pathCount; ++n) {
        std::unique_ptr<Art> path = CurvedPath(coordinates, segmentCount);
        PathStyle& style = path->EditStyle();
        style.fillPaint = 1;
        style.fill.color.kind = kGradientColor;
        GradientFill& fill = style.fill.color.c.gradient;
        fill.gradient = reinterpret_cast<GradientHandle>(gradients[n % 2]);
        fill.origin = {coordinates.Next(), coordinates.Next()};
        fill.angle = coordinates.Offset() * 4.5f;
        fill.length = 50.0f + coordinates.Offset() + 40.0f;
        fill.matrix = {1.0f, 0.0f, 0.0f, 1.0f, coordinates.Offset(), coordinates.Offset()};
        fill.hiliteAngle = 30.0f;
        fill.hiliteLength = 0.25f;

        style.strokePaint = 1;
        style.stroke.color = Rgb(0.0f, 0.0f, 0.0f);
        style.stroke.width = 1.5f;
        style.stroke.dashCount = 4;
        const HostReal dashes[] = {6.0f, 3.0f, 1.5f, 3.0f};
        for (int i = 0; i < 4; ++i) style.stroke.dashes[i] = dashes[i];
        style.stroke.cap = kRoundCap;
        style.stroke.join = kRoundJoin;
        root->Add(std::move(path));
    }
    document.layers.push_back(std::move(root));
    StoreLayerBounds(document);
    return document;
}

}  // namespace bench
