// The suites through which the plug-in reads the document: layers, art objects, paths,
// styles, opacity and plug-in groups.
#include <algorithm>
#include <cstring>

#include "substitute/host_state.h"

namespace substitute {

namespace {

template <typename Handle>
HostErr Answer(Handle* out, Art* art) {
    if (out == nullptr) return kBadParameterErr;
    *out = reinterpret_cast<Handle>(art);
    return art != nullptr ? kNoErr : kBadParameterErr;
}

// A path style no real host would answer: counts and codes out of range, reals that are not
// numbers, a gradient fill without a gradient.
void DistortStyle(PathStyle& style, Host::Nonsense kind) {
    using enum Host::Nonsense;
    StrokeStyle& stroke = style.stroke;
    style.fillPaint = style.strokePaint = int32_t(0x80000000u);
    switch (kind) {
        case kNegative:
            stroke.dashCount = -4;
            stroke.width = -1.0f;
            stroke.cap = stroke.join = -1;
            break;
        case kOutsideTable:
            style.fill.color.kind = 99;
            stroke.color.kind = 99;
            stroke.cap = stroke.join = 77;
            break;
        case kHuge:
            stroke.dashCount = 32767;  // far beyond the record's six dashes
            stroke.width = NonsenseReal(kHuge);
            for (HostReal& dash : stroke.dashes) dash = NonsenseReal(kHuge);
            break;
        case kNull:
            style.fill.color.kind = kGradientColor;
            style.fill.color.c.gradient = GradientFill{};
            break;
        default: {  // NaN, infinite
            const HostReal value = NonsenseReal(kind);
            stroke.width = stroke.miterLimit = stroke.dashOffset = value;
            stroke.dashCount = kMaxDashes;
            for (HostReal& dash : stroke.dashes) dash = value;
            stroke.join = kMiterJoin;
            if (style.fill.color.kind == kGradientColor) {
                GradientFill& fill = style.fill.color.c.gradient;
                fill.origin = RealPoint{value, -value};
                fill.angle = fill.length = fill.hiliteAngle = fill.hiliteLength = value;
                fill.matrix = RealMatrix{value, value, value, value, value, value};
            } else if (style.fill.color.kind == kThreeColor) {
                style.fill.color.c.rgb = ThreeColorStyle{value, -value, value};
            }
            break;
        }
    }
}

HostErr CountLayers(int32_t* count) {
    QM_ENTER("AI Layer Suite/CountLayers");
    if (count == nullptr) return kBadParameterErr;
    *count = static_cast<int32_t>(state->layers.size());
    if (auto nonsense = state->Nonsense("AI Layer Suite/CountLayers")) {
        // Thousands of times as many layers as there are, yet few enough for a test to wait for.
        *count = *nonsense == Host::Nonsense::kNegative ? -7 : 20000;
    }
    return kNoErr;
}

HostErr GetNthLayer(int32_t n, LayerHandle* layer) {
    QM_ENTER("AI Layer Suite/GetNthLayer");
    if (layer == nullptr) return kBadParameterErr;
    *layer = nullptr;
    if (n < 0 || size_t(n) >= state->layers.size()) return kBadParameterErr;
    *layer = reinterpret_cast<LayerHandle>(&state->layers[size_t(n)]);
    if (state->Nonsense("AI Layer Suite/GetNthLayer")) *layer = nullptr;
    return kNoErr;
}

HostErr GetFirstArtOfLayer(LayerHandle layer, ArtHandle* art) {
    QM_ENTER("AI Art Suite/GetFirstArtOfLayer");
    Art* root = nullptr;
    for (const LayerRecord& record : state->layers) {
        if (reinterpret_cast<LayerHandle>(const_cast<LayerRecord*>(&record)) == layer) root = record.root;
    }
    if (root == nullptr) {
        state->Problem(std::string("AI Art Suite/GetFirstArtOfLayer: ") + (layer == nullptr ? "null" : "unknown") +
                       " layer handle");
    }
    if (root != nullptr && art != nullptr && state->Nonsense("AI Art Suite/GetFirstArtOfLayer")) {
        *art = nullptr;
        return kNoErr;
    }
    return Answer(art, root);
}

HostErr GetArtType(ArtHandle handle, int16_t* type) {
    QM_ENTER("AI Art Suite/GetArtType");
    const Art* art = state->FindArt(handle, "AI Art Suite/GetArtType");
    if (art == nullptr || type == nullptr) return kBadParameterErr;
    *type = art->type;
    if (auto nonsense = state->Nonsense("AI Art Suite/GetArtType")) {
        *type = *nonsense == Host::Nonsense::kNegative ? int16_t(-3) : int16_t(4242);
    }
    return kNoErr;
}

HostErr GetArtUserAttr(ArtHandle handle, int32_t mask, int32_t* attributes) {
    QM_ENTER("AI Art Suite/GetArtUserAttr");
    const Art* art = state->FindArt(handle, "AI Art Suite/GetArtUserAttr");
    if (art == nullptr || attributes == nullptr) return kBadParameterErr;
    *attributes = (art->hidden ? kArtHidden : 0) & mask;
    if (state->Nonsense("AI Art Suite/GetArtUserAttr")) *attributes = -1;  // every bit, asked for or not
    return kNoErr;
}

HostErr GetArtFirstChild(ArtHandle handle, ArtHandle* child) {
    QM_ENTER("AI Art Suite/GetArtFirstChild");
    const Art* art = state->FindArt(handle, "AI Art Suite/GetArtFirstChild");
    Art* first = art != nullptr && !art->children.empty() ? art->children.front().get() : nullptr;
    if (first != nullptr && child != nullptr && state->Nonsense("AI Art Suite/GetArtFirstChild")) {
        *child = nullptr;  // a group that has children answers none, and success
        return kNoErr;
    }
    return Answer(child, first);
}

HostErr GetArtSibling(ArtHandle handle, ArtHandle* sibling) {
    QM_ENTER("AI Art Suite/GetArtSibling");
    const Art* art = state->FindArt(handle, "AI Art Suite/GetArtSibling");
    return Answer(sibling, art != nullptr ? art->next : nullptr);
}

HostErr GetArtBounds(ArtHandle handle, RealRect* bounds) {
    QM_ENTER("AI Art Suite/GetArtBounds");
    const Art* art = state->FindArt(handle, "AI Art Suite/GetArtBounds");
    if (art == nullptr || bounds == nullptr) return kBadParameterErr;
    *bounds = BoundsOf(*art);
    if (auto nonsense = state->Nonsense("AI Art Suite/GetArtBounds")) {
        const HostReal far = NonsenseReal(*nonsense);
        *bounds = RealRect{-far, far, far, -far};
    }
    return kNoErr;
}

HostErr GetArtName(ArtHandle handle, char* buffer, int32_t bufferSize, HostBool* isDefaultName) {
    QM_ENTER("AI Art Suite/GetArtName");
    const Art* art = state->FindArt(handle, "AI Art Suite/GetArtName");
    if (art == nullptr || buffer == nullptr || bufferSize <= 0) return kBadParameterErr;
    const size_t length = std::min(art->name.size(), size_t(bufferSize) - 1);
    std::memcpy(buffer, art->name.data(), length);
    buffer[length] = '\0';
    if (isDefaultName != nullptr) *isDefaultName = art->defaultName ? 1 : 0;
    if (state->Nonsense("AI Art Suite/GetArtName")) {
        // The whole buffer, without a terminator: comment ends, stray bytes and control characters.
        static constexpr char kGarbage[] = {'-', '-', '>', '<', '&', '\xff', '\xc3', '\x01', '"', 'n'};
        for (int32_t i = 0; i < bufferSize; ++i) buffer[i] = kGarbage[size_t(i) % sizeof kGarbage];
    }
    return kNoErr;
}

HostErr GetPathSegmentCount(ArtHandle handle, int16_t* count) {
    QM_ENTER("AI Path Suite/GetPathSegmentCount");
    const Art* art = state->FindArt(handle, "AI Path Suite/GetPathSegmentCount");
    if (art == nullptr || count == nullptr) return kBadParameterErr;
    *count = static_cast<int16_t>(art->segments.size());  // the loader allows at most 32767
    if (auto nonsense = state->Nonsense("AI Path Suite/GetPathSegmentCount")) {
        *count = *nonsense == Host::Nonsense::kNegative ? int16_t(-5) : int16_t(32767);
    }
    return kNoErr;
}

HostErr GetPathSegments(ArtHandle handle, int16_t first, int16_t count, PathSegment* segments) {
    QM_ENTER("AI Path Suite/GetPathSegments");
    const Art* art = state->FindArt(handle, "AI Path Suite/GetPathSegments");
    if (art == nullptr || segments == nullptr) return kBadParameterErr;
    if (first < 0 || count < 0 || size_t(first) + size_t(count) > art->segments.size()) {
        state->Problem("AI Path Suite/GetPathSegments: segments " + std::to_string(first) + " to " +
                       std::to_string(first + count - 1) + " of a path with " + std::to_string(art->segments.size()));
        return kBadParameterErr;
    }
    if (count == 1) {
        *segments = art->segments[size_t(first)];  // how the plug-in asks: a plain copy, no library call
    } else {
        std::copy_n(art->segments.begin() + first, count, segments);
    }
    if (auto nonsense = state->Nonsense("AI Path Suite/GetPathSegments")) {
        const HostReal far = NonsenseReal(*nonsense);
        for (int16_t i = 0; i < count; ++i) {
            // The anchor far out, one handle on the other side, the other at the anchor.
            segments[i].p = RealPoint{far, -far};
            segments[i].in = RealPoint{-far, far};
            segments[i].out = segments[i].p;
        }
    }
    return kNoErr;
}

HostErr GetPathClosed(ArtHandle handle, HostBool* closed) {
    QM_ENTER("AI Path Suite/GetPathClosed");
    const Art* art = state->FindArt(handle, "AI Path Suite/GetPathClosed");
    if (art == nullptr || closed == nullptr) return kBadParameterErr;
    *closed = art->closed ? 1 : 0;
    if (state->Nonsense("AI Path Suite/GetPathClosed")) *closed = int32_t(0x80000000u);  // true, but not 1
    return kNoErr;
}

HostErr GetPathIsGuide(ArtHandle handle, HostBool* guide) {
    QM_ENTER("AI Path Suite/GetPathIsGuide");
    const Art* art = state->FindArt(handle, "AI Path Suite/GetPathIsGuide");
    if (art == nullptr || guide == nullptr) return kBadParameterErr;
    *guide = art->guide ? 1 : 0;
    if (state->Nonsense("AI Path Suite/GetPathIsGuide")) *guide = art->guide ? int32_t(0x80000000u) : 0;
    return kNoErr;
}

HostErr GetPathStyle(ArtHandle handle, PathStyle* style) {
    QM_ENTER("AI Path Style Suite/GetPathStyle");
    const Art* art = state->FindArt(handle, "AI Path Style Suite/GetPathStyle");
    if (art == nullptr || style == nullptr) return kBadParameterErr;
    *style = art->Style();
    if (auto nonsense = state->Nonsense("AI Path Style Suite/GetPathStyle")) DistortStyle(*style, *nonsense);
    return kNoErr;
}

HostReal GetOpacity(ArtHandle handle) {
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("AI Blend Style Suite/GetOpacity") != kNoErr) return 0.0f;
    const Art* art = state->FindArt(handle, "AI Blend Style Suite/GetOpacity");
    if (auto nonsense = state->Nonsense("AI Blend Style Suite/GetOpacity")) {
        return *nonsense == Host::Nonsense::kNegative ? -2.5f : NonsenseReal(*nonsense);
    }
    return art != nullptr ? art->opacity : 0.0f;
}

HostErr GetPluginArtName(ArtHandle handle, const char** name) {
    QM_ENTER("AI Plugin Group Suite/GetPluginArtName");
    const Art* art = state->FindArt(handle, "AI Plugin Group Suite/GetPluginArtName");
    if (name == nullptr) return kBadParameterErr;
    *name = nullptr;
    if (art == nullptr || art->type != kPluginArt) return kBadParameterErr;
    *name = art->pluginName.c_str();
    if (state->Nonsense("AI Plugin Group Suite/GetPluginArtName")) *name = nullptr;
    return kNoErr;
}

HostErr GetPluginArtResultArt(ArtHandle handle, ArtHandle* result) {
    QM_ENTER("AI Plugin Group Suite/GetPluginArtResultArt");
    Art* art = state->FindArt(handle, "AI Plugin Group Suite/GetPluginArtResultArt");
    Art* answer = art != nullptr && art->type == kPluginArt ? art->result.get() : nullptr;
    if (answer != nullptr && result != nullptr && state->Nonsense("AI Plugin Group Suite/GetPluginArtResultArt")) {
        *result = nullptr;
        return kNoErr;
    }
    return Answer(result, answer);
}

#undef QM_ENTER

}  // namespace

const LayerSuite kLayerSuite = {CountLayers, GetNthLayer};

const ArtSuite kArtSuite = {
    {}, GetFirstArtOfLayer, {}, GetArtType, GetArtUserAttr, {}, GetArtFirstChild, GetArtSibling, {}, GetArtBounds,
    {}, GetArtName,
};

const PathSuite kPathSuite = {GetPathSegmentCount, {}, GetPathSegments, {}, GetPathClosed, {}, GetPathIsGuide};

const PathStyleSuite kPathStyleSuite = {GetPathStyle};

const BlendStyleSuite kBlendStyleSuite = {{}, GetOpacity};

const PluginGroupSuite kPluginGroupSuite = {{}, GetPluginArtName, {}, GetPluginArtResultArt};

}  // namespace substitute
