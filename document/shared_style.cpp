#include "document/shared_style.h"

#include <cstring>
#include <type_traits>

namespace document {

namespace {

static_assert(std::is_trivially_copyable_v<PathStyle>);

uint64_t HashOf(const PathStyle& style) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&style);
    uint64_t hash = 0x9E3779B97F4A7C15u;
    size_t at = 0;
    for (; at + 8 <= sizeof style; at += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDu;
        hash ^= hash >> 32;
    }
    for (; at < sizeof style; ++at) hash = (hash ^ bytes[at]) * 0x100000001B3u;
    return hash;
}

}  // namespace

PathStyle DefaultPathStyle() {
    static const PathStyle kDefault = [] {
        PathStyle style{};
        style.fill.color.kind = kNoneColor;
        style.stroke.color.kind = kNoneColor;
        style.stroke.width = 1.0f;
        style.stroke.cap = kButtCap;
        style.stroke.join = kMiterJoin;
        style.stroke.miterLimit = 4.0f;
        return style;
    }();
    return kDefault;
}

const SharedStyle& DefaultStyle() {
    static const SharedStyle kDefault = std::make_shared<PathStyle>(DefaultPathStyle());
    return kDefault;
}

SharedStyle StyleTable::Intern(const PathStyle& style) {
    const uint64_t hash = HashOf(style);
    const auto [first, last] = styles_.equal_range(hash);
    for (auto known = first; known != last; ++known) {
        if (std::memcmp(known->second.get(), &style, sizeof style) == 0) return known->second;
    }
    SharedStyle shared = std::make_shared<PathStyle>(style);
    styles_.emplace(hash, shared);
    return shared;
}

}  // namespace document
