// The previewer: reads a XAML file of the forms the exporter writes and draws it as WPF would,
// with cairo. Reading and drawing are apart, so that a file is checked whole before anything
// is drawn, and a scene can be drawn at several sizes.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

typedef struct _cairo_surface cairo_surface_t;

namespace preview {

// A file the previewer cannot read: not well-formed, an element or attribute it does not know,
// a missing or malformed value. what() is "<file>:<line>: <message>", the line 1-based.
class XamlError : public std::runtime_error {
public:
    XamlError(const std::string& fileName, int line, const std::string& message);
    int Line() const { return line_; }

private:
    int line_;
};

// A picture that cannot be made: too large (in pixels) or cairo out of memory.
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SceneData;

// What a XAML file draws, read whole; the outer element's size in XAML units.
class Scene {
public:
    Scene();
    explicit Scene(std::shared_ptr<const SceneData> data);
    double Width() const;
    double Height() const;
    const SceneData& Data() const { return *data_; }

private:
    std::shared_ptr<const SceneData> data_;
};

Scene ReadXaml(std::string_view bytes, const std::string& fileName);

struct DrawOptions {
    double width = 0;             // picture width in pixels; 0: from scale
    double scale = 0;             // pixels per XAML unit when width is 0; 0: 1
    uint32_t background = 0;      // 0xAARRGGBB painted under the drawing; 0: transparent
};

// A drawn picture: a cairo ARGB32 image surface (premultiplied), owned.
class Picture {
public:
    explicit Picture(cairo_surface_t* surface);
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();

    int Width() const;
    int Height() const;
    cairo_surface_t* Surface() const { return surface_; }
    // Unpremultiplied 0xAARRGGBB of one pixel, for tests and the comparison.
    uint32_t PixelAt(int x, int y) const;
    // Writes the picture as PNG; throws PictureError naming the path when it cannot.
    void WritePng(const std::string& path) const;

private:
    cairo_surface_t* surface_ = nullptr;
};

// Throws PictureError when the picture would be too large.
Picture Draw(const Scene& scene, const DrawOptions& options);

}  // namespace preview
