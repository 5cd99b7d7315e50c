// A gradient's stops as WPF spreads them over the gradient vector: in order of offset (equal
// offsets in document order, giving a sharp edge), and stops outside 0..1 still shaping the
// colours inside, where cairo would clamp their offsets.
#pragma once

#include <vector>

#include "preview/scene_data.h"

namespace preview {

// The colour of the gradient at `offset`, from stops sorted by offset.
Color ColorAt(const std::vector<GradientStop>& sorted, double offset);
// Stops within 0..1 that give the same colours there; none for a brush without stops.
std::vector<GradientStop> StopsWithinUnitRange(const std::vector<GradientStop>& stops);

}  // namespace preview
