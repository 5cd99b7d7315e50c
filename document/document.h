// The substitute host's in-memory document: the art tree of every layer and the named
// gradients and custom colours that colours refer to. Every host query is answered from it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/shared_style.h"
#include "host/host_types.h"

namespace document {

struct Gradient {
    int16_t type = kLinearGradient;
    std::vector<GradientStop> stops;  // reported in this order, unsorted
};

struct CustomColor {
    CustomColorDefinition definition{};
};

struct Pattern {
    std::string name;
};

struct Art {
    int16_t type = kGroupArt;
    std::string name;
    HostReal opacity = 1.0f;
    bool hidden = false;
    std::optional<RealRect> bounds;  // when absent, the geometric bounds are computed

    // Paths.
    std::vector<PathSegment> segments;
    bool closed = false;
    bool guide = false;  // paths and compound paths

    // Groups and compound paths: children in stacking order, frontmost first.
    std::vector<std::unique_ptr<Art>> children;

    // Plug-in art.
    std::string pluginName;
    std::unique_ptr<Art> result;  // a group

    // Set by Document::Link(): the parent (group, compound path or plug-in result) and the
    // next sibling, or null.
    Art* parent = nullptr;
    Art* next = nullptr;

    // Set by the loader when `name` is the type's default name rather than one the document gave.
    bool defaultName = false;

    Art() = default;
    explicit Art(SharedStyle initialStyle) : style_(std::move(initialStyle)) {}
    Art(const Art&) = delete;
    Art& operator=(const Art&) = delete;
    // Takes the subtree apart without recursion, so that a very deep tree cannot exhaust the stack.
    ~Art();

    Art* Add(std::unique_ptr<Art> child);

    // The style of paths and plug-in art, perhaps shared with other art objects.
    const PathStyle& Style() const { return *style_; }
    const SharedStyle& SharedStyleOf() const { return style_; }
    void SetStyle(SharedStyle style) { style_ = std::move(style); }
    // The style to change in place, made this art object's own first if it is shared.
    PathStyle& EditStyle();

private:
    SharedStyle style_ = DefaultStyle();
};

// The name an art object of the given type gets when the document names none: "<Group>",
// "<Path>", ... and "<Art>" for codes that name no known kind. Layer roots are named
// "Layer N" instead.
std::string DefaultArtName(int16_t type);

struct Document {
    std::vector<std::unique_ptr<Art>> layers;  // each layer's root art, layer index order
    std::map<std::string, std::unique_ptr<Gradient>> gradients;
    std::map<std::string, std::unique_ptr<CustomColor>> customColors;
    std::map<std::string, std::unique_ptr<Pattern>> patterns;

    // Sets the parent and next-sibling links of every art object; call after building.
    void Link();
};

// The geometric bounds without stroke: given bounds, or the exact bounds of a path's outline,
// or the union of the children's non-empty bounds; {0, 0, 0, 0} when empty.
RealRect BoundsOf(const Art& art);

// The exact bounds of a path's outline (anchors plus the interior extrema of every curved
// segment, the closing one included), or nothing for a path without segments.
std::optional<RealRect> PathBounds(const std::vector<PathSegment>& segments, bool closed);

}  // namespace document
