// The SVG element names the converter tells apart.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "document/svg/tree/tree.h"
#include "document/svg/values/scanner.h"

namespace document::svg {

Tag TagFromName(std::string_view localName);

// White space as XML and CSS know it, and text without it at either end: the value
// grammars' own.
using scan::IsSpace;
inline std::string_view TrimSpace(std::string_view text) { return scan::Trim(text); }

// Equality of short texts (names), compared where they are used: a library call costs more
// than the few bytes of a name. Eight or four bytes are compared at once, the last ones
// overlapping the ones before, without reading outside either text.
inline bool SameName(std::string_view a, std::string_view b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    const char* const p = a.data();
    const char* const q = b.data();
    if (n >= 8) {
        uint64_t x, y;
        for (size_t i = 0; i + 8 < n; i += 8) {
            std::memcpy(&x, p + i, 8);
            std::memcpy(&y, q + i, 8);
            if (x != y) return false;
        }
        std::memcpy(&x, p + n - 8, 8);
        std::memcpy(&y, q + n - 8, 8);
        return x == y;
    }
    if (n >= 4) {
        uint32_t x, y, u, v;
        std::memcpy(&x, p, 4);
        std::memcpy(&y, q, 4);
        std::memcpy(&u, p + n - 4, 4);
        std::memcpy(&v, q + n - 4, 4);
        return x == y && u == v;
    }
    for (size_t i = 0; i < n; ++i) {
        if (p[i] != q[i]) return false;
    }
    return true;
}

}  // namespace document::svg
