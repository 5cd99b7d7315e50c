#include "compare/surface.h"

#include <cstring>

namespace compare {

SurfacePtr NewPicture(int width, int height) {
    // cairo's own limit on an image's side, checked here so that the message says why.
    constexpr int kLargestSide = 32767;
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
        throw PictureFailure("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                             " pixels cannot be made");
    }
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        throw PictureFailure(std::string("cannot make a picture: ") +
                             cairo_status_to_string(cairo_surface_status(surface.get())));
    }
    return surface;
}

uint32_t PremultipliedAt(cairo_surface_t* surface, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(surface) + static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
    uint32_t pixel;
    std::memcpy(&pixel, row + static_cast<ptrdiff_t>(x) * 4, sizeof pixel);
    return pixel;
}

void WritePng(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw PictureFailure("cannot write " + path + ": " + cairo_status_to_string(status));
    }
}

}  // namespace compare
