// The SVG element names the converter tells apart.
#pragma once

#include <string_view>

#include "document/svg/tree/tree.h"

namespace document::svg {

Tag TagFromName(std::string_view localName);

// White space as XML and CSS know it.
inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
std::string_view TrimSpace(std::string_view text);

}  // namespace document::svg
