// Owned cairo image surfaces, the pictures the comparison works on.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace compare {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

// A picture that cannot be made or written: too large, out of memory, an unwritable file.
class PictureFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A transparent ARGB32 surface of the size. Throws PictureFailure.
SurfacePtr NewPicture(int width, int height);

// One pixel of an ARGB32 surface as stored: premultiplied 0xAARRGGBB.
uint32_t PremultipliedAt(cairo_surface_t* surface, int x, int y);

// Throws PictureFailure naming the path.
void WritePng(cairo_surface_t* surface, const std::string& path);

}  // namespace compare
