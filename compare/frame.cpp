#include "compare/frame.h"

#include <algorithm>
#include <cmath>

namespace compare {

std::optional<DrawingFrame> ExportFrame(const document::Document& document) {
    std::optional<DrawingFrame> frame;
    for (const auto& layer : document.layers) {
        // The export passes over a layer whose root group is empty.
        if (layer->type == kGroupArt && layer->children.empty()) continue;
        const RealRect bounds = document::BoundsOf(*layer);
        if (!frame) {
            frame = DrawingFrame{bounds.left, bounds.top, bounds.right, bounds.bottom};
            continue;
        }
        // Comparisons that are false for NaN, as the export's: such a bound changes nothing.
        if (bounds.top > frame->top) frame->top = bounds.top;
        if (bounds.left < frame->left) frame->left = bounds.left;
        if (bounds.bottom < frame->bottom) frame->bottom = bounds.bottom;
        if (bounds.right > frame->right) frame->right = bounds.right;
    }
    // Without a layer that holds art, the export's extents stay at zero.
    if (!frame && !document.layers.empty()) frame = DrawingFrame{};
    return frame;
}

std::optional<PictureSize> FitPicture(double frameWidth, double frameHeight, int longerSide) {
    if (!(frameWidth > 0) || !(frameHeight > 0) || !std::isfinite(frameWidth) || !std::isfinite(frameHeight) ||
        longerSide < 1) {
        return std::nullopt;
    }
    const double scale = longerSide / std::max(frameWidth, frameHeight);
    auto side = [&](double length) { return std::max(1, static_cast<int>(std::lround(std::min(length * scale, 1e9)))); };
    return PictureSize{side(frameWidth), side(frameHeight), scale};
}

document::svg::Matrix ViewportToPicture(const document::svg::Matrix& viewportToDocument, const DrawingFrame& frame,
                                        double scale) {
    using document::svg::Matrix;
    const Matrix documentToXaml{1, 0, 0, -1, -static_cast<double>(frame.left), static_cast<double>(frame.top)};
    return Matrix::Scale(scale, scale) * documentToXaml * viewportToDocument;
}

}  // namespace compare
