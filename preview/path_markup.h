// WPF's path markup: an optional fill rule (F0 even-odd, F1 nonzero) and the commands
// M L H V C Q S T A Z, absolute (upper case) and relative (lower case), read into figures of
// straight and cubic segments (quadratic curves and arcs become cubics).
#pragma once

#include <string_view>

#include "preview/geometry.h"

namespace preview {

// Throws ValueError naming the place of the fault. Without an F prefix the rule is `fallback`.
Geometry ParsePathMarkup(std::string_view text, FillRule fallback);

}  // namespace preview
