#include "document/document.h"

#include <algorithm>
#include <cmath>

#include "document/cubic.h"

namespace document {

std::string DefaultArtName(int16_t type) {
    switch (type) {
        case kGroupArt: return "<Group>";
        case kPathArt: return "<Path>";
        case kCompoundPathArt: return "<Compound Path>";
        case kPluginArt: return "<Plugin Group>";
        case kTextFrameArt: return "<Text>";
        case kPlacedArt: return "<Placed>";
        case kRasterArt: return "<Image>";
        case kMeshArt: return "<Mesh>";
        case kSymbolArt: return "<Symbol>";
        default: return "<Art>";
    }
}

PathStyle& Art::EditStyle() {
    if (style_.use_count() != 1) style_ = std::make_shared<PathStyle>(*style_);
    // Every style is made as a PathStyle that may be changed; this one is not shared.
    return const_cast<PathStyle&>(*style_);
}

Art::~Art() {
    if (children.empty() && !result) return;  // a leaf: its members go as usual
    std::vector<std::unique_ptr<Art>> pending = std::move(children);
    children.clear();
    if (result) pending.push_back(std::move(result));
    while (!pending.empty()) {
        std::unique_ptr<Art> art = std::move(pending.back());
        pending.pop_back();
        if (!art) continue;
        for (auto& child : art->children) pending.push_back(std::move(child));
        art->children.clear();
        if (art->result) pending.push_back(std::move(art->result));
        // `art` now owns nothing below it, so its own destructor does not go deeper.
    }
}

Art* Art::Add(std::unique_ptr<Art> child) {
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

void Document::Link() {
    std::vector<Art*> pending;
    for (auto& layer : layers) {
        layer->parent = nullptr;
        layer->next = nullptr;
        pending.push_back(layer.get());
    }
    while (!pending.empty()) {
        Art* art = pending.back();
        pending.pop_back();
        for (size_t i = 0; i < art->children.size(); ++i) {
            Art* child = art->children[i].get();
            child->parent = art;
            child->next = i + 1 < art->children.size() ? art->children[i + 1].get() : nullptr;
            pending.push_back(child);
        }
        if (art->result) {
            art->result->parent = art;
            art->result->next = nullptr;
            pending.push_back(art->result.get());
        }
    }
}

namespace {

// Bounds in double precision while they are being gathered: left, top, right, bottom with
// y growing upwards.
struct Extent {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool empty = true;

    void Add(double x, double y) {
        if (empty) {
            left = right = x;
            top = bottom = y;
            empty = false;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
    }
};

bool SamePoint(const RealPoint& a, const RealPoint& b) {
    return a.h == b.h && a.v == b.v;
}

void AddSegmentExtrema(Extent& extent, const PathSegment& from, const PathSegment& to) {
    if (SamePoint(from.out, from.p) && SamePoint(to.in, to.p)) return;  // a straight line
    const double x[4] = {from.p.h, from.out.h, to.in.h, to.p.h};
    const double y[4] = {from.p.v, from.out.v, to.in.v, to.p.v};
    double roots[4];
    int count = DerivativeRoots(x[0], x[1], x[2], x[3], roots);
    count += DerivativeRoots(y[0], y[1], y[2], y[3], roots + count);
    for (int i = 0; i < count; ++i) {
        extent.Add(CubicAt(x[0], x[1], x[2], x[3], roots[i]), CubicAt(y[0], y[1], y[2], y[3], roots[i]));
    }
}

// The anchors' box shrunk by a margin far wider than the rounding of a curve's evaluation
// (about 2^-50 of the coordinates' magnitude). A curve lies within the hull of its four
// points: where all four lie inside this box, no extremum of the curve, even as computed, can
// widen the anchors' box, and finding them can be skipped. NaN and infinite boxes hold nothing.
struct Interior {
    double left, top, right, bottom;

    explicit Interior(const Extent& anchors) {
        const double marginX = (std::fabs(anchors.left) + std::fabs(anchors.right)) * 0x1p-40;
        const double marginY = (std::fabs(anchors.bottom) + std::fabs(anchors.top)) * 0x1p-40;
        left = anchors.left + marginX;
        right = anchors.right - marginX;
        bottom = anchors.bottom + marginY;
        top = anchors.top - marginY;
    }
    bool Holds(const RealPoint& p) const { return p.h > left && p.h < right && p.v > bottom && p.v < top; }
    bool Holds(const PathSegment& from, const PathSegment& to) const {
        return Holds(from.p) && Holds(from.out) && Holds(to.in) && Holds(to.p);
    }
};

RealRect ToRect(const Extent& extent) {
    return {static_cast<HostReal>(extent.left), static_cast<HostReal>(extent.top),
            static_cast<HostReal>(extent.right), static_cast<HostReal>(extent.bottom)};
}

void Unite(std::optional<RealRect>& into, const RealRect& r) {
    if (!into) {
        into = r;
        return;
    }
    into->left = std::min(into->left, r.left);
    into->top = std::max(into->top, r.top);
    into->right = std::max(into->right, r.right);
    into->bottom = std::min(into->bottom, r.bottom);
}

// The art objects whose bounds make up a container's bounds.
size_t PartCount(const Art& art) {
    if (art.type == kPluginArt) return art.result ? 1 : 0;
    return art.type == kPathArt ? 0 : art.children.size();
}

const Art& Part(const Art& art, size_t i) {
    return art.type == kPluginArt ? *art.result : *art.children[i];
}

// Bounds of an art object, or nothing when it has no geometry. Walks the tree with an
// explicit stack: documents may nest tens of thousands of levels deep.
std::optional<RealRect> NonEmptyBounds(const Art& root) {
    struct Frame {
        const Art* art;
        size_t nextPart;
        std::optional<RealRect> united;
    };
    std::vector<Frame> stack{{&root, 0, std::nullopt}};
    std::optional<RealRect> finished;
    while (true) {
        Frame& frame = stack.back();
        const Art& art = *frame.art;
        bool done = true;
        if (art.bounds) {
            finished = art.bounds;
        } else if (art.type == kPathArt) {
            finished = PathBounds(art.segments, art.closed);
        } else if (frame.nextPart < PartCount(art)) {
            const Art* part = &Part(art, frame.nextPart++);
            stack.push_back({part, 0, std::nullopt});  // `frame` is not used after this
            done = false;
        } else {
            finished = frame.united;
        }
        if (!done) continue;
        stack.pop_back();
        if (stack.empty()) return finished;
        if (finished) Unite(stack.back().united, *finished);
    }
}

}  // namespace

std::optional<RealRect> PathBounds(const std::vector<PathSegment>& segments, bool closed) {
    if (segments.empty()) return std::nullopt;
    Extent extent;
    for (const PathSegment& segment : segments) extent.Add(segment.p.h, segment.p.v);
    const Interior interior(extent);
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        if (!interior.Holds(segments[i], segments[i + 1])) AddSegmentExtrema(extent, segments[i], segments[i + 1]);
    }
    if (closed && !interior.Holds(segments.back(), segments.front())) {
        AddSegmentExtrema(extent, segments.back(), segments.front());
    }
    return ToRect(extent);
}

RealRect BoundsOf(const Art& art) {
    return NonEmptyBounds(art).value_or(RealRect{0, 0, 0, 0});
}

}  // namespace document
