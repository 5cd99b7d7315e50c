#include "compare/side_by_side.h"

#include <cstring>

namespace compare {
namespace {

void SetPixel(cairo_surface_t* surface, int x, int y, uint32_t pixel) {
    unsigned char* row = cairo_image_surface_get_data(surface) + static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
    std::memcpy(row + static_cast<ptrdiff_t>(x) * 4, &pixel, sizeof pixel);
}

void PaintOverWhite(cairo_t* context, cairo_surface_t* picture, int left, int width, int height) {
    cairo_save(context);
    cairo_rectangle(context, left, 0, width, height);
    cairo_clip(context);
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_paint(context);
    cairo_set_source_surface(context, picture, left, 0);
    cairo_paint(context);
    cairo_restore(context);
}

// Light grey of the pixel's brightness over white, so the drawing shows but no mark is hidden.
uint32_t Faded(uint32_t overWhite) {
    const int r = (overWhite >> 16) & 0xFF, g = (overWhite >> 8) & 0xFF, b = overWhite & 0xFF;
    const int grey = 255 - (255 - (r * 3 + g * 6 + b) / 10) / 4;
    const uint32_t level = static_cast<uint32_t>(grey);
    return 0xFF000000u | level << 16 | level << 8 | level;
}

}  // namespace

SurfacePtr SideBySide(cairo_surface_t* reference, cairo_surface_t* drawn, const Difference& difference) {
    const int width = difference.width, height = difference.height;
    SurfacePtr result = NewPicture(3 * width, height);
    cairo_t* context = cairo_create(result.get());
    PaintOverWhite(context, reference, 0, width, height);
    PaintOverWhite(context, drawn, width, width, height);
    PaintOverWhite(context, reference, 2 * width, width, height);
    cairo_destroy(context);
    cairo_surface_flush(result.get());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int at = 2 * width + x;
            SetPixel(result.get(), at, y, difference.Differs(x, y) ? kDifferenceMark : Faded(PremultipliedAt(result.get(), at, y)));
        }
    }
    cairo_surface_mark_dirty(result.get());
    return result;
}

}  // namespace compare
