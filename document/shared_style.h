// Path styles as the document's art objects hold them: one shared copy of each distinct style.
// A drawing mostly repeats a few styles, and a style is 224 bytes, as large as eight segments.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "host/host_types.h"

namespace document {

// Never null. Every style is made as a PathStyle that may be changed (the const is the
// sharers' promise), so that an art object that holds the only reference may change it.
using SharedStyle = std::shared_ptr<const PathStyle>;

// A style with no fill and no stroke: fill colour none, stroke colour none, width 1,
// no dashes, butt caps, miter joins, miter limit 4.
PathStyle DefaultPathStyle();

// The default style, shared by every art object that has no other.
const SharedStyle& DefaultStyle();

// Hands out one shared copy of each distinct style (byte for byte) it is given.
class StyleTable {
public:
    SharedStyle Intern(const PathStyle& style);

private:
    std::unordered_multimap<uint64_t, SharedStyle> styles_;  // by a hash of their bytes
};

}  // namespace document
