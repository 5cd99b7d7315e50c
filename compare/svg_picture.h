// An SVG file drawn by librsvg, the reference picture of a comparison.
#pragma once

#include <stdexcept>
#include <string_view>

#include "compare/surface.h"
#include "document/svg/values/matrix.h"

namespace compare {

// A file librsvg cannot read; the message says why (without the file's name).
class SvgPictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SvgViewport {
    double width = 0, height = 0;  // px, the size the root <svg> is given
};

// Draws the SVG (or gzip-compressed SVG) with its root laid out in `viewport` at the origin,
// through `viewportToPicture`, onto a transparent picture of the size. Throws SvgPictureError,
// PictureFailure.
SurfacePtr DrawSvg(std::string_view bytes, const SvgViewport& viewport, const document::svg::Matrix& viewportToPicture,
                   int width, int height);

}  // namespace compare
