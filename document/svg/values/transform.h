// The transform list grammar: matrix, translate, scale, rotate (with a centre), skewX, skewY,
// separated by white space and/or commas.
#pragma once

#include <optional>
#include <string_view>

#include "document/svg/values/matrix.h"

namespace document::svg {

// The product of the list, left to right; nothing for text that is not a valid list (SVG then
// ignores the attribute: the identity).
// Added detail: empty text is the identity; a list whose product overflows (or a skew of 90
// degrees) is not valid.
std::optional<Matrix> ParseTransform(std::string_view text);

}  // namespace document::svg
