#include "compare/svg_picture.h"

#include <librsvg/rsvg.h>

#include <memory>
#include <string>

namespace compare {
namespace {

struct ObjectRelease {
    void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};
struct ContextRelease {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};

std::string MessageOf(GError* error, const char* fallback) {
    std::string message = error != nullptr && error->message != nullptr ? error->message : fallback;
    if (error != nullptr) g_error_free(error);
    return message;
}

// The reader takes the user's language to be English (systemLanguage); librsvg takes it from the
// environment, where LANGUAGE comes first.
void SpeakTheReadersLanguage() {
    static const bool set = g_setenv("LANGUAGE", "en", TRUE);
    (void)set;
}

}  // namespace

SurfacePtr DrawSvg(std::string_view bytes, const SvgViewport& viewport, const document::svg::Matrix& viewportToPicture,
                   int width, int height) {
    SurfacePtr surface = NewPicture(width, height);
    SpeakTheReadersLanguage();
    GError* error = nullptr;
    // The reader takes files of any size and depth; so does the reference.
    std::unique_ptr<RsvgHandle, ObjectRelease> handle(rsvg_handle_new_from_data(
        reinterpret_cast<const guint8*>(bytes.data()), bytes.size(), &error));
    if (!handle) throw SvgPictureError(MessageOf(error, "not an SVG file"));
    // The reader's absolute units: 96 px to the inch.
    rsvg_handle_set_dpi(handle.get(), 96);

    std::unique_ptr<cairo_t, ContextRelease> context(cairo_create(surface.get()));
    const cairo_matrix_t matrix{viewportToPicture.a, viewportToPicture.b, viewportToPicture.c,
                                viewportToPicture.d, viewportToPicture.e, viewportToPicture.f};
    cairo_set_matrix(context.get(), &matrix);
    // A renderer shows the file in its viewport, and nothing outside it.
    cairo_rectangle(context.get(), 0, 0, viewport.width, viewport.height);
    cairo_clip(context.get());
    const RsvgRectangle box{0, 0, viewport.width, viewport.height};
    if (!rsvg_handle_render_document(handle.get(), context.get(), &box, &error)) {
        throw SvgPictureError(MessageOf(error, "cannot be drawn"));
    }
    cairo_surface_flush(surface.get());
    return surface;
}

}  // namespace compare
