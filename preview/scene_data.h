// The scene read from a XAML file: the elements, drawings, brushes and pens it holds, with
// WPF's defaults filled in, so that drawing needs no knowledge of the file's text.
#pragma once

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "preview/geometry.h"
#include "preview/preview.h"

namespace preview {

// Unpremultiplied sRGB, each channel 0..1.
struct Color {
    double a = 0, r = 0, g = 0, b = 0;
};

enum class MappingMode { kRelativeToBoundingBox, kAbsolute };
enum class SpreadMethod { kPad, kReflect, kRepeat };
enum class Stretch { kNone, kFill, kUniform, kUniformToFill };
enum class StretchDirection { kBoth, kUpOnly, kDownOnly };
enum class Alignment { kStart, kCenter, kEnd };  // Left/Top, Center, Right/Bottom
enum class LineCap { kFlat, kSquare, kRound, kTriangle };
enum class LineJoin { kMiter, kBevel, kRound };
enum class Visibility { kVisible, kHidden, kCollapsed };

struct GradientStop {
    double offset = 0;
    Color color;
};

struct Drawing;

struct Brush {
    enum class Kind { kSolid, kLinear, kRadial, kDrawing };
    Kind kind = Kind::kSolid;
    double opacity = 1;
    Matrix transform;  // brush space to the painted element's space
    // solid
    Color color;
    // gradients
    std::vector<GradientStop> stops;  // in document order
    MappingMode mappingMode = MappingMode::kRelativeToBoundingBox;
    SpreadMethod spread = SpreadMethod::kPad;
    Point startPoint{0, 0}, endPoint{1, 1};
    Point center{0.5, 0.5}, gradientOrigin{0.5, 0.5};
    double radiusX = 0.5, radiusY = 0.5;
    // drawing brush
    std::shared_ptr<const Drawing> drawing;
    Rect viewbox{0, 0, 1, 1};
    MappingMode viewboxUnits = MappingMode::kRelativeToBoundingBox;
    Rect viewport{0, 0, 1, 1};
    MappingMode viewportUnits = MappingMode::kRelativeToBoundingBox;
    Stretch stretch = Stretch::kFill;
    Alignment alignmentX = Alignment::kCenter, alignmentY = Alignment::kCenter;
};

struct Pen {
    std::shared_ptr<const Brush> brush;  // none: nothing is stroked
    double thickness = 1;
    LineCap startCap = LineCap::kFlat, endCap = LineCap::kFlat;
    LineCap dashCap = LineCap::kFlat;  // a Pen element's default is Square, set by the reader
    LineJoin join = LineJoin::kMiter;
    double miterLimit = 10;
    std::vector<double> dashes;  // in units of the thickness; empty: solid
    double dashOffset = 0;       // in units of the thickness
};

struct Drawing {
    enum class Kind { kGroup, kGeometry };
    Kind kind = Kind::kGroup;
    // group
    std::vector<std::shared_ptr<const Drawing>> children;
    double opacity = 1;
    std::optional<Geometry> clip;
    Matrix transform;
    // geometry drawing
    std::shared_ptr<const Brush> brush;
    std::optional<Pen> pen;
    Geometry geometry;
};

struct Element {
    enum class Kind { kViewbox, kCanvas, kPath, kRectangle };
    Kind kind = Kind::kCanvas;
    int line = 0;
    double width = std::numeric_limits<double>::quiet_NaN();   // NaN: not set
    double height = std::numeric_limits<double>::quiet_NaN();
    double left = 0, top = 0;  // Canvas.Left and Canvas.Top
    double opacity = 1;
    Visibility visibility = Visibility::kVisible;
    std::optional<Geometry> clip;
    Matrix renderTransform;
    std::vector<std::shared_ptr<const Element>> children;  // a Canvas's children, a Viewbox's child
    // Viewbox
    Stretch stretch = Stretch::kUniform;
    StretchDirection stretchDirection = StretchDirection::kBoth;
    // Path and Rectangle; a Canvas's Background
    std::shared_ptr<const Brush> fill;
    Pen stroke;
    Geometry data;  // a Path's
};

struct SceneData {
    double width = 0, height = 0;
    std::shared_ptr<const Element> root;
};

}  // namespace preview
