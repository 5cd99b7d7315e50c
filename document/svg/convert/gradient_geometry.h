// Where an SVG gradient lies, as the host's gradient fill says it: origin, angle and length (or
// radius and highlight) in the gradient's own coordinates, and the matrix that takes those to
// the document's. The export draws the brush in the gradient's coordinates and maps it with
// that matrix followed by its own document transform, so the picture is the SVG's.
#pragma once

#include "document/svg/values/matrix.h"
#include "host/host_types.h"

namespace document::svg {

RealMatrix ToRealMatrix(const Matrix& m);

// The gradient vector from p1 to p2. `gradientToDocument` maps the gradient's coordinates
// (after gradientUnits and gradientTransform) to the document's.
GradientFill LinearGradientFill(GradientHandle gradient, Point p1, Point p2, const Matrix& gradientToDocument);

// Centre, radius and focal point. A focal point outside the circle is moved onto it (as SVG 1.1
// draws it); `focalMoved` tells the caller.
GradientFill RadialGradientFill(GradientHandle gradient, Point centre, double radius, Point focal,
                                const Matrix& gradientToDocument, bool& focalMoved);

}  // namespace document::svg
