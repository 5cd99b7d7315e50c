// The two pictures of a comparison and their difference, side by side in one picture.
#pragma once

#include "compare/difference.h"
#include "compare/surface.h"

namespace compare {

// The colour that marks a differing pixel in the difference panel.
constexpr uint32_t kDifferenceMark = 0xFFFF0000;

// Three panels of the difference's size, left to right: `reference` and `drawn` over white,
// then the difference: kDifferenceMark where the pixels differ, elsewhere the reference faded
// to light grey for orientation. Throws PictureFailure.
SurfacePtr SideBySide(cairo_surface_t* reference, cairo_surface_t* drawn, const Difference& difference);

}  // namespace compare
