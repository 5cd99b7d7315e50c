// Draws a scene's elements and drawings onto a cairo context, as WPF renders them.
#pragma once

#include <cairo.h>

#include <optional>

#include "preview/geometry.h"
#include "preview/scene_data.h"

namespace preview {

class Painter {
public:
    explicit Painter(cairo_t* cairo) : cairo_(cairo) {}
    // `toDevice`: the root's coordinates to the picture's pixels.
    void DrawRoot(const Element& root, const Matrix& toDevice);

private:
    void DrawElement(const Element& element, const Matrix& toParent, const Matrix& parentToDevice, double alpha);
    void DrawElementContent(const Element& element, const Matrix& toDevice, double alpha);
    void DrawViewboxChild(const Element& viewbox, const Matrix& toDevice, double alpha);
    void DrawDrawing(const Drawing& drawing, const Matrix& toDevice, double alpha);
    void DrawGeometryDrawing(const Drawing& drawing, const Matrix& toDevice, double alpha);

    // Fill and stroke of one outline; `box` is what relative brushes are relative to.
    void Fill(const Geometry& geometry, const Brush& brush, const Matrix& toDevice,
              const std::optional<Rect>& box, double alpha);
    void Stroke(const Geometry& geometry, const Pen& pen, const Matrix& toDevice,
                const std::optional<Rect>& box, double alpha);

    // Makes the brush cairo's source for painting `area` (device pixels); false when the brush
    // paints nothing.
    bool SetSource(const Brush& brush, const Matrix& toDevice, const std::optional<Rect>& box,
                   const Rect& area, double alpha);
    bool SetGradientSource(const Brush& brush, const Matrix& toDevice, const std::optional<Rect>& box, double alpha);
    bool SetDrawingSource(const Brush& brush, const Matrix& toDevice, const std::optional<Rect>& box,
                          const Rect& area, double alpha);

    // Sets cairo's matrix to `toDevice` and appends the outline, every point kept within
    // reach of cairo's fixed-point coordinates.
    void AppendPath(const Geometry& geometry, const Matrix& toDevice);
    void Clip(const Geometry& geometry, const Matrix& toDevice);

    // Group opacity: a group of its own while few are open, else the alpha passed down.
    bool BeginGroup(double opacity, double& alpha);
    void EndGroup(double opacity);

    cairo_t* cairo_;
    int openGroups_ = 0;
    int openDrawingBrushes_ = 0;
};

// Whether a matrix can be drawn through: finite, invertible and not so extreme that cairo's
// numbers would fail.
bool IsDrawable(const Matrix& matrix);

}  // namespace preview
