// The frame an export draws in, and the pixel size both pictures of a comparison share.
#pragma once

#include <optional>

#include "document/document.h"
#include "document/svg/values/matrix.h"

namespace compare {

// The document's extents as the export gathers them (the root bounds, without strokes, of
// every layer that holds art), in the host's coordinates (y up). The XAML's origin is (left, top), its y axis
// points down, and its Width and Height are the extents' sides.
struct DrawingFrame {
    float left = 0, top = 0, right = 0, bottom = 0;
    float Width() const { return right - left; }
    float Height() const { return top - bottom; }
};

// Nothing for a document without layers.
std::optional<DrawingFrame> ExportFrame(const document::Document& document);

struct PictureSize {
    int width = 0, height = 0;
    double scale = 0;  // pixels per unit of the frame
};

// The frame fitted so that its longer side is `longerSide` pixels, the other side rounded (at
// least 1 pixel). Nothing for a frame without area.
std::optional<PictureSize> FitPicture(double frameWidth, double frameHeight, int longerSide);

// Maps the SVG's root viewport (px, y down) to the picture's pixels: through the reader's flip
// into the document, the export's move of the frame's top-left corner to the origin with y
// down, and the picture's scale.
document::svg::Matrix ViewportToPicture(const document::svg::Matrix& viewportToDocument, const DrawingFrame& frame,
                                        double scale);

}  // namespace compare
