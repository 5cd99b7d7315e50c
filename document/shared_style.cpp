#include "document/shared_style.h"

#include <cstring>
#include <type_traits>

namespace document {

namespace {

static_assert(std::is_trivially_copyable_v<PathStyle>);

uint64_t HashOf(const PathStyle& style) {
    // Four words at a time in four lanes, one multiplication a word: cheap, and good enough for
    // a table whose entries are compared whole anyway.
    constexpr size_t kWords = sizeof(PathStyle) / 8;
    uint64_t words[kWords];
    std::memcpy(words, &style, sizeof words);
    uint64_t lanes[4] = {0x9E3779B97F4A7C15u, 0xC2B2AE3D27D4EB4Fu, 0x165667B19E3779F9u, 0x27D4EB2F165667C5u};
    size_t at = 0;
    for (; at + 4 <= kWords; at += 4) {
        for (size_t lane = 0; lane < 4; ++lane) lanes[lane] = (lanes[lane] + words[at + lane]) * 0xFF51AFD7ED558CCDu;
    }
    for (; at < kWords; ++at) lanes[0] = (lanes[0] + words[at]) * 0xFF51AFD7ED558CCDu;
    uint64_t hash = lanes[0] ^ (lanes[1] >> 7) ^ (lanes[2] >> 19) ^ (lanes[3] >> 31);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&style);
    for (size_t byte = kWords * 8; byte < sizeof style; ++byte) hash = (hash ^ bytes[byte]) * 0x100000001B3u;
    return hash ^ (hash >> 29);
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
