#include "document/svg/tree/names.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

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
    for (const auto& [name, tag] : kTags) {
        if (name == localName) return tag;
    }
    return Tag::kOther;
}

std::string_view TrimSpace(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool PropertyFromName(std::string_view name, Property& property) {
    // Every attribute and declaration is looked up: only the names of its first letter are
    // compared.
    static const auto kByFirstLetter = [] {
        std::array<std::vector<uint8_t>, 26> buckets;
        for (size_t i = 0; i < kPropertyNames.size(); ++i) buckets[size_t(kPropertyNames[i][0] - 'a')].push_back(uint8_t(i));
        return buckets;
    }();
    if (name.empty() || name[0] < 'a' || name[0] > 'z') return false;
    for (const uint8_t i : kByFirstLetter[size_t(name[0] - 'a')]) {
        if (kPropertyNames[i] == name) {
            property = Property(i);
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
