#include "compare/difference.h"

#include <algorithm>
#include <cstdlib>

#include "compare/surface.h"

namespace compare {
namespace {

int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

uint32_t PixelOrNone(cairo_surface_t* surface, int x, int y) {
    if (x >= cairo_image_surface_get_width(surface) || y >= cairo_image_surface_get_height(surface)) return 0;
    return PremultipliedAt(surface, x, y);
}

}  // namespace

bool PixelsDiffer(uint32_t premultipliedA, uint32_t premultipliedB, int tolerance) {
    const int alphaA = Channel(premultipliedA, 24), alphaB = Channel(premultipliedB, 24);
    if (std::abs(alphaA - alphaB) > tolerance) return true;
    for (int shift : {16, 8, 0}) {
        // Premultiplied colour over white: c + (255 - alpha).
        const int overWhiteA = Channel(premultipliedA, shift) + 255 - alphaA;
        const int overWhiteB = Channel(premultipliedB, shift) + 255 - alphaB;
        if (std::abs(overWhiteA - overWhiteB) > tolerance) return true;
    }
    return false;
}

Difference ComparePictures(cairo_surface_t* a, cairo_surface_t* b, int tolerance) {
    cairo_surface_flush(a);
    cairo_surface_flush(b);
    Difference difference;
    difference.width = std::max(cairo_image_surface_get_width(a), cairo_image_surface_get_width(b));
    difference.height = std::max(cairo_image_surface_get_height(a), cairo_image_surface_get_height(b));
    difference.marks.assign(static_cast<size_t>(difference.Pixels()), 0);
    for (int y = 0; y < difference.height; ++y) {
        for (int x = 0; x < difference.width; ++x) {
            if (!PixelsDiffer(PixelOrNone(a, x, y), PixelOrNone(b, x, y), tolerance)) continue;
            difference.marks[static_cast<size_t>(y) * difference.width + x] = 1;
            ++difference.differing;
        }
    }
    return difference;
}

}  // namespace compare
