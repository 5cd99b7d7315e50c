#include "document/svg/tree/names.h"

#include <array>
#include <cstdint>
#include <utility>

namespace document::svg {
namespace {

constexpr std::array<std::pair<std::string_view, Tag>, 29> kTags{{
    {"svg", Tag::kSvg}, {"g", Tag::kG}, {"a", Tag::kA}, {"defs", Tag::kDefs},
    {"switch", Tag::kSwitch}, {"use", Tag::kUse}, {"symbol", Tag::kSymbol},
    {"path", Tag::kPath}, {"rect", Tag::kRect}, {"circle", Tag::kCircle},
    {"ellipse", Tag::kEllipse}, {"line", Tag::kLine}, {"polyline", Tag::kPolyline},
    {"polygon", Tag::kPolygon}, {"linearGradient", Tag::kLinearGradient},
    {"radialGradient", Tag::kRadialGradient}, {"stop", Tag::kStop},
    {"clipPath", Tag::kClipPath}, {"text", Tag::kText}, {"image", Tag::kImage},
    {"pattern", Tag::kPattern}, {"mask", Tag::kMask}, {"filter", Tag::kFilter},
    {"marker", Tag::kMarker}, {"foreignObject", Tag::kForeignObject}, {"style", Tag::kStyle},
    {"title", Tag::kTitle}, {"desc", Tag::kDesc}, {"metadata", Tag::kMetadata},
}};

constexpr std::array<std::string_view, size_t(Property::kCount)> kPropertyNames{
    "fill", "fill-opacity", "fill-rule",
    "stroke", "stroke-width", "stroke-opacity", "stroke-linecap", "stroke-linejoin",
    "stroke-miterlimit", "stroke-dasharray", "stroke-dashoffset",
    "opacity", "display", "visibility", "color",
    "clip-path", "clip-rule", "mask", "filter",
    "stop-color", "stop-opacity",
    "marker-start", "marker-mid", "marker-end",
    "font-size",
    "overflow",
};

}  // namespace

Tag TagFromName(std::string_view localName) {
    // Most elements of a drawing are paths and groups.
    if (localName == "path") return Tag::kPath;
    if (localName == "g") return Tag::kG;
    for (const auto& [name, tag] : kTags) {
        if (name == localName) return tag;
    }
    return Tag::kOther;
}

namespace {

// Property names by a hash of their length and three of their letters, probed linearly: every
// attribute and declaration is looked up, and most are found in one comparison.
constexpr size_t kPropertySlots = 128;
constexpr uint8_t kNoProperty = 0xFF;

constexpr size_t PropertyHash(std::string_view name) {
    const auto at = [&](size_t i) { return size_t(static_cast<unsigned char>(name[i])); };
    return (name.size() * 31 + at(0) + at(name.size() - 1) * 3 + at(name.size() / 2) * 7) % kPropertySlots;
}

// Worked out when the program is compiled, so that a lookup asks no question of its own first.
constexpr std::array<uint8_t, kPropertySlots> kPropertyBySlot = [] {
    std::array<uint8_t, kPropertySlots> table{};
    for (uint8_t& slot : table) slot = kNoProperty;
    for (size_t i = 0; i < kPropertyNames.size(); ++i) {
        size_t slot = PropertyHash(kPropertyNames[i]);
        while (table[slot] != kNoProperty) slot = (slot + 1) % kPropertySlots;
        table[slot] = uint8_t(i);
    }
    return table;
}();

}  // namespace

bool PropertyFromName(std::string_view name, Property& property) {
    if (name.empty()) return false;
    for (size_t slot = PropertyHash(name); kPropertyBySlot[slot] != kNoProperty; slot = (slot + 1) % kPropertySlots) {
        if (SameName(kPropertyNames[kPropertyBySlot[slot]], name)) {
            property = Property(kPropertyBySlot[slot]);
            return true;
        }
    }
    return false;
}

std::string_view PropertyName(Property property) { return kPropertyNames.at(size_t(property)); }

bool IsInherited(Property property) {
    switch (property) {
        case Property::kOpacity:
        case Property::kDisplay:
        case Property::kClipPath:
        case Property::kMask:
        case Property::kFilter:
        case Property::kStopColor:
        case Property::kStopOpacity:
        case Property::kOverflow:
            return false;
        default:
            return true;
    }
}

}  // namespace document::svg
