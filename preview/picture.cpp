// The picture: a cairo image the scene is drawn into, its size from the scene's and the
// options, refused when it would be too large.
#include <cairo.h>

#include <cmath>
#include <memory>

#include "preview/painter.h"
#include "preview/preview.h"
#include "preview/scene_data.h"

namespace preview {
namespace {

constexpr double kMaxSide = 16384;
constexpr double kMaxPixels = 64.0 * 1024 * 1024;

struct CairoDestroyer {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};

}  // namespace

Picture::Picture(cairo_surface_t* surface) : surface_(surface) {}
Picture::Picture(Picture&& other) noexcept : surface_(other.surface_) { other.surface_ = nullptr; }
Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        if (surface_) cairo_surface_destroy(surface_);
        surface_ = other.surface_;
        other.surface_ = nullptr;
    }
    return *this;
}
Picture::~Picture() {
    if (surface_) cairo_surface_destroy(surface_);
}

int Picture::Width() const { return surface_ ? cairo_image_surface_get_width(surface_) : 0; }
int Picture::Height() const { return surface_ ? cairo_image_surface_get_height(surface_) : 0; }

uint32_t Picture::PixelAt(int x, int y) const {
    if (!surface_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const uint32_t pixel = *reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride) + size_t(x) * 4);
    const uint32_t alpha = pixel >> 24;
    if (alpha == 0) return 0;
    auto channel = [&](int shift) {
        const uint32_t premultiplied = pixel >> shift & 0xff;
        return std::min<uint32_t>(255, (premultiplied * 255 + alpha / 2) / alpha);
    };
    return alpha << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

void Picture::WritePng(const std::string& path) const {
    if (!surface_) throw PictureError("no picture to write to " + path);
    const cairo_status_t status = cairo_surface_write_to_png(surface_, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw PictureError("cannot write the picture to " + path + ": " + cairo_status_to_string(status));
    }
}

Picture Draw(const Scene& scene, const DrawOptions& options) {
    const double width = scene.Width(), height = scene.Height();
    if (!std::isfinite(width) || !std::isfinite(height) || width < 0 || height < 0) {
        throw PictureError("the scene's size is not a finite size");
    }
    if (!std::isfinite(options.width) || options.width < 0 || !std::isfinite(options.scale) || options.scale < 0) {
        throw PictureError("the picture's width or scale is not a positive number");
    }
    double scale = 1;
    if (options.width > 0) {
        if (width <= 0) throw PictureError("a scene of no width cannot be drawn at a given width");
        scale = options.width / width;
    } else if (options.scale > 0) {
        scale = options.scale;
    }
    const double pixelsWide = options.width > 0 ? options.width : width * scale;
    const double pixelsHigh = height * scale;
    if (!(pixelsWide <= kMaxSide && pixelsHigh <= kMaxSide) || !(pixelsWide * pixelsHigh <= kMaxPixels)) {
        throw PictureError("the picture would be too large (" + std::to_string(pixelsWide) + " by " +
                           std::to_string(pixelsHigh) + " pixels; at most 16384 a side and 64 megapixels)");
    }
    const int columns = int(std::lround(pixelsWide)), rows = int(std::lround(pixelsHigh));
    if (columns < 1 || rows < 1) throw PictureError("the picture would have no pixels");

    Picture picture(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, columns, rows));
    if (cairo_surface_status(picture.Surface()) != CAIRO_STATUS_SUCCESS) {
        throw PictureError(std::string("cannot make the picture: ") + cairo_status_to_string(cairo_surface_status(picture.Surface())));
    }
    std::unique_ptr<cairo_t, CairoDestroyer> cairo(cairo_create(picture.Surface()));
    if (options.background >> 24 != 0) {
        const uint32_t b = options.background;
        cairo_set_source_rgba(cairo.get(), double(b >> 16 & 0xff) / 255, double(b >> 8 & 0xff) / 255,
                              double(b & 0xff) / 255, double(b >> 24) / 255);
        cairo_paint(cairo.get());
    }
    if (scene.Data().root) Painter(cairo.get()).DrawRoot(*scene.Data().root, Matrix::Scaling(scale, scale));
    const cairo_status_t status = cairo_status(cairo.get());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw PictureError(std::string("cairo could not draw the picture: ") + cairo_status_to_string(status));
    }
    cairo.reset();
    cairo_surface_flush(picture.Surface());
    return picture;
}

}  // namespace preview
