// The SVG element names the converter tells apart.
#pragma once

#include <string_view>

#include "document/svg/tree/tree.h"

namespace document::svg {

Tag TagFromName(std::string_view localName);

// White space as XML and CSS know it.
inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
std::string_view TrimSpace(std::string_view text);

// Equality of short texts (names), compared where they are used: a library call costs more
// than the few bytes of a name.
inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace document::svg
