// The font-size property's value, computed to px against the parent's computed size.
#pragma once

#include <optional>
#include <string_view>

namespace document::svg {

// The font size of text before any is given ("medium").
constexpr double kMediumFontSize = 16;

// The computed font size in px of a specified value: an absolute length (a bare number is px,
// as presentation attributes write it); em, ex and percentages of the parent's size; the
// keywords xx-small to xxx-large (medium is 16) and larger / smaller (a step of 1.2 from the
// parent's). Nothing for anything else, a negative size or one that is not finite: the caller
// then keeps the parent's size, as for an unset or "inherit" value.
std::optional<double> ComputeFontSize(std::string_view specified, double parentSize);

}  // namespace document::svg
