#include "preview/painter.h"

#include <algorithm>
#include <cmath>

#include "preview/gradient_stops.h"
#include "preview/stroke_plan.h"

namespace preview {
namespace {

// cairo keeps coordinates in 24.8 fixed point; points farther than this many pixels are
// pulled in (they lie far outside any picture the previewer makes).
constexpr double kFarthest = 1 << 20;
// A pen wider than this many pixels covers any picture; wider ones are drawn this wide.
constexpr double kWidestPen = 1 << 21;
constexpr int kMaxOpenGroups = 16;
constexpr int kMaxOpenDrawingBrushes = 8;

cairo_matrix_t ToCairo(const Matrix& m) {
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, m.m11, m.m12, m.m21, m.m22, m.offsetX, m.offsetY);
    return matrix;
}

double Clamp01(double value) { return std::clamp(value, 0.0, 1.0); }

Rect DeviceArea(const std::optional<Rect>& bounds, const Matrix& toDevice, double grow) {
    if (!bounds) return {0, 0, 0, 0};
    const Rect r{bounds->x - grow, bounds->y - grow, bounds->width + 2 * grow, bounds->height + 2 * grow};
    return TransformBounds(r, toDevice);
}

Geometry RectangleGeometry(double x, double y, double width, double height) {
    Geometry geometry;
    Figure& figure = geometry.figures.emplace_back();
    figure.start = {x, y};
    for (Point p : {Point{x + width, y}, Point{x + width, y + height}, Point{x, y + height}}) {
        Segment segment;
        segment.end = p;
        figure.segments.push_back(segment);
    }
    figure.closed = true;
    return geometry;
}

bool Paints(const std::shared_ptr<const Brush>& brush) { return brush != nullptr; }
bool Strokes(const Pen& pen) { return pen.brush && pen.thickness > 0 && std::isfinite(pen.thickness); }

// The bounds of what a drawing paints, for brushes relative to it. A pen widens the outline
// by half its thickness (joins and caps reaching farther are not counted).
std::optional<Rect> ContentBounds(const Drawing& drawing) {
    if (drawing.kind == Drawing::Kind::kGeometry) {
        std::optional<Rect> bounds;
        if (drawing.brush || (drawing.pen && Strokes(*drawing.pen))) bounds = Bounds(drawing.geometry);
        if (bounds && drawing.pen && Strokes(*drawing.pen)) {
            const double half = drawing.pen->thickness / 2;
            bounds = Rect{bounds->x - half, bounds->y - half, bounds->width + 2 * half, bounds->height + 2 * half};
        }
        return bounds;
    }
    std::optional<Rect> bounds;
    for (const auto& child : drawing.children) bounds = Union(bounds, ContentBounds(*child));
    if (drawing.clip) bounds = Intersection(bounds, Bounds(*drawing.clip));
    if (bounds) bounds = TransformBounds(*bounds, drawing.transform);
    return bounds;
}

}  // namespace

bool IsDrawable(const Matrix& m) {
    for (double v : {m.m11, m.m12, m.m21, m.m22}) {
        if (!std::isfinite(v) || std::fabs(v) > 1e8) return false;
    }
    for (double v : {m.offsetX, m.offsetY}) {
        if (!std::isfinite(v) || std::fabs(v) > 1e12) return false;
    }
    const double det = m.Determinant();
    return std::isfinite(det) && std::fabs(det) >= 1e-10;
}

void Painter::DrawRoot(const Element& root, const Matrix& toDevice) {
    // The outer element is not in a Canvas: its Canvas.Left and Canvas.Top do not move it.
    DrawElement(root, root.renderTransform, toDevice, 1);
}

bool Painter::BeginGroup(double opacity, double& alpha) {
    if (opacity >= 1) return false;
    if (openGroups_ >= kMaxOpenGroups) {
        alpha *= opacity;
        return false;
    }
    ++openGroups_;
    cairo_push_group(cairo_);
    return true;
}

void Painter::EndGroup(double opacity) {
    cairo_pop_group_to_source(cairo_);
    cairo_identity_matrix(cairo_);
    cairo_paint_with_alpha(cairo_, opacity);
    --openGroups_;
}

void Painter::DrawElement(const Element& element, const Matrix& toParent, const Matrix& parentToDevice, double alpha) {
    if (element.visibility != Visibility::kVisible) return;
    const Matrix toDevice = Then(toParent, parentToDevice);
    if (!IsDrawable(toDevice)) return;
    const double opacity = Clamp01(element.opacity);
    if (opacity <= 0 || alpha <= 0) return;
    cairo_save(cairo_);
    if (element.clip) Clip(*element.clip, toDevice);
    // A shape with only a fill or only a stroke needs no group for its opacity.
    const bool onePaint = (element.kind == Element::Kind::kPath || element.kind == Element::Kind::kRectangle) &&
                          !(Paints(element.fill) && Strokes(element.stroke));
    if (onePaint) {
        DrawElementContent(element, toDevice, alpha * opacity);
    } else {
        double inner = alpha;
        const bool grouped = BeginGroup(opacity, inner);
        DrawElementContent(element, toDevice, inner);
        if (grouped) EndGroup(opacity);
    }
    cairo_restore(cairo_);
}

void Painter::DrawElementContent(const Element& element, const Matrix& toDevice, double alpha) {
    const double width = std::isnan(element.width) ? 0 : element.width;
    const double height = std::isnan(element.height) ? 0 : element.height;
    switch (element.kind) {
        case Element::Kind::kCanvas: {
            if (element.fill && width > 0 && height > 0) {
                const Geometry background = RectangleGeometry(0, 0, width, height);
                Fill(background, *element.fill, toDevice, Rect{0, 0, width, height}, alpha);
            }
            for (const auto& child : element.children) {
                const Matrix toCanvas = Then(child->renderTransform, Matrix::Translation(child->left, child->top));
                DrawElement(*child, toCanvas, toDevice, alpha);
            }
            break;
        }
        case Element::Kind::kViewbox:
            DrawViewboxChild(element, toDevice, alpha);
            break;
        case Element::Kind::kPath: {
            const std::optional<Rect> box = Bounds(element.data);
            if (element.fill) Fill(element.data, *element.fill, toDevice, box, alpha);
            if (Strokes(element.stroke)) Stroke(element.data, element.stroke, toDevice, box, alpha);
            break;
        }
        case Element::Kind::kRectangle: {
            // A stroked rectangle keeps its stroke inside its Width and Height.
            const double inset = Strokes(element.stroke) ? element.stroke.thickness / 2 : 0;
            const double w = std::max(0.0, width - 2 * inset), h = std::max(0.0, height - 2 * inset);
            const Geometry outline = RectangleGeometry(inset, inset, w, h);
            const Rect box{inset, inset, w, h};
            if (element.fill) Fill(outline, *element.fill, toDevice, box, alpha);
            if (Strokes(element.stroke)) Stroke(outline, element.stroke, toDevice, box, alpha);
            break;
        }
    }
}

void Painter::DrawViewboxChild(const Element& viewbox, const Matrix& toDevice, double alpha) {
    if (viewbox.children.empty()) return;
    const Element& child = *viewbox.children.front();
    // The child's own size: its Width and Height, or for a path the extent of its outline.
    double childWidth = std::isnan(child.width) ? 0 : child.width;
    double childHeight = std::isnan(child.height) ? 0 : child.height;
    if (child.kind == Element::Kind::kPath && (std::isnan(child.width) || std::isnan(child.height))) {
        if (const std::optional<Rect> bounds = Bounds(child.data)) {
            if (std::isnan(child.width)) childWidth = std::max(0.0, bounds->x + bounds->width);
            if (std::isnan(child.height)) childHeight = std::max(0.0, bounds->y + bounds->height);
        }
    }
    const bool fixedWidth = !std::isnan(viewbox.width), fixedHeight = !std::isnan(viewbox.height);
    double scaleX = 1, scaleY = 1;
    if (viewbox.stretch != Stretch::kNone && (fixedWidth || fixedHeight)) {
        scaleX = childWidth == 0 ? 0 : viewbox.width / childWidth;
        scaleY = childHeight == 0 ? 0 : viewbox.height / childHeight;
        if (!fixedWidth) scaleX = scaleY;
        else if (!fixedHeight) scaleY = scaleX;
        if (viewbox.stretch == Stretch::kUniform) scaleX = scaleY = std::min(scaleX, scaleY);
        else if (viewbox.stretch == Stretch::kUniformToFill) scaleX = scaleY = std::max(scaleX, scaleY);
        if (viewbox.stretchDirection == StretchDirection::kUpOnly) {
            scaleX = std::max(1.0, scaleX);
            scaleY = std::max(1.0, scaleY);
        } else if (viewbox.stretchDirection == StretchDirection::kDownOnly) {
            scaleX = std::min(1.0, scaleX);
            scaleY = std::min(1.0, scaleY);
        }
    }
    // The scaled child is centred in the Viewbox's own size.
    const double offsetX = fixedWidth ? (viewbox.width - childWidth * scaleX) / 2 : 0;
    const double offsetY = fixedHeight ? (viewbox.height - childHeight * scaleY) / 2 : 0;
    const Matrix toViewbox = Then(Then(child.renderTransform, Matrix::Scaling(scaleX, scaleY)),
                                  Matrix::Translation(offsetX, offsetY));
    DrawElement(child, toViewbox, toDevice, alpha);
}

void Painter::DrawDrawing(const Drawing& drawing, const Matrix& parentToDevice, double alpha) {
    if (drawing.kind == Drawing::Kind::kGeometry) {
        DrawGeometryDrawing(drawing, parentToDevice, alpha);
        return;
    }
    const Matrix toDevice = Then(drawing.transform, parentToDevice);
    if (!IsDrawable(toDevice)) return;
    const double opacity = Clamp01(drawing.opacity);
    if (opacity <= 0 || alpha <= 0) return;
    cairo_save(cairo_);
    if (drawing.clip) Clip(*drawing.clip, toDevice);
    const bool onePaint = drawing.children.size() == 1 && drawing.children.front()->kind == Drawing::Kind::kGeometry &&
                          !(drawing.children.front()->brush && drawing.children.front()->pen &&
                            Strokes(*drawing.children.front()->pen));
    if (onePaint || opacity >= 1) {
        for (const auto& child : drawing.children) DrawDrawing(*child, toDevice, alpha * opacity);
    } else {
        double inner = alpha;
        const bool grouped = BeginGroup(opacity, inner);
        for (const auto& child : drawing.children) DrawDrawing(*child, toDevice, inner);
        if (grouped) EndGroup(opacity);
    }
    cairo_restore(cairo_);
}

void Painter::DrawGeometryDrawing(const Drawing& drawing, const Matrix& toDevice, double alpha) {
    const std::optional<Rect> box = Bounds(drawing.geometry);
    if (drawing.brush) Fill(drawing.geometry, *drawing.brush, toDevice, box, alpha);
    if (drawing.pen && Strokes(*drawing.pen)) Stroke(drawing.geometry, *drawing.pen, toDevice, box, alpha);
}

void Painter::Fill(const Geometry& geometry, const Brush& brush, const Matrix& toDevice,
                   const std::optional<Rect>& box, double alpha) {
    if (geometry.figures.empty()) return;
    if (!SetSource(brush, toDevice, box, DeviceArea(Bounds(geometry), toDevice, 1), alpha)) return;
    AppendPath(geometry, toDevice);
    cairo_set_fill_rule(cairo_, geometry.fillRule == FillRule::kNonzero ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cairo_);
}

void Painter::Stroke(const Geometry& geometry, const Pen& pen, const Matrix& toDevice,
                     const std::optional<Rect>& box, double alpha) {
    if (geometry.figures.empty()) return;
    const double scale = LargestScale(toDevice);
    const double thickness = std::min(pen.thickness, kWidestPen / std::max(scale, 1e-300));
    const StrokePlan plan = PlanStroke(geometry, pen, thickness, scale);
    if (plan.lines.figures.empty() && !plan.HasExtras()) return;
    const double miterLimit = std::max(1.0, pen.miterLimit);
    const double reach = thickness / 2 * (pen.join == LineJoin::kMiter ? miterLimit : 1.5) + thickness;
    const Rect area = DeviceArea(Bounds(geometry), toDevice, reach);

    auto strokeLines = [&] {
        AppendPath(plan.lines, toDevice);
        cairo_set_line_width(cairo_, thickness);
        cairo_set_line_cap(cairo_, plan.cap == LineCap::kRound    ? CAIRO_LINE_CAP_ROUND
                                   : plan.cap == LineCap::kSquare ? CAIRO_LINE_CAP_SQUARE
                                                                  : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cairo_, pen.join == LineJoin::kRound   ? CAIRO_LINE_JOIN_ROUND
                                    : pen.join == LineJoin::kBevel ? CAIRO_LINE_JOIN_BEVEL
                                                                   : CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cairo_, miterLimit);
        cairo_stroke(cairo_);
    };

    if (!plan.HasExtras()) {
        if (!SetSource(*pen.brush, toDevice, box, area, alpha * plan.coverage)) return;
        strokeLines();
        return;
    }
    // The stroke and the shapes cairo does not draw make one coverage mask, so that where they
    // overlap nothing is painted twice.
    cairo_save(cairo_);
    cairo_identity_matrix(cairo_);
    cairo_rectangle(cairo_, area.x, area.y, area.width, area.height);
    cairo_clip(cairo_);
    cairo_push_group_with_content(cairo_, CAIRO_CONTENT_ALPHA);
    cairo_set_source_rgba(cairo_, 0, 0, 0, 1);
    if (!plan.lines.figures.empty()) strokeLines();
    Geometry shapes;
    shapes.fillRule = FillRule::kNonzero;
    for (const auto& polygon : plan.polygons) {
        Figure& figure = shapes.figures.emplace_back();
        figure.start = polygon.front();
        for (size_t i = 1; i < polygon.size(); ++i) {
            Segment segment;
            segment.end = polygon[i];
            figure.segments.push_back(segment);
        }
        figure.closed = true;
    }
    AppendPath(shapes, toDevice);
    for (const Disc& disc : plan.discs) {
        cairo_new_sub_path(cairo_);
        cairo_arc(cairo_, disc.center.x, disc.center.y, disc.radius, 0, 2 * M_PI);
    }
    cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cairo_);
    cairo_identity_matrix(cairo_);
    cairo_pattern_t* mask = cairo_pop_group(cairo_);
    if (SetSource(*pen.brush, toDevice, box, area, alpha * plan.coverage)) {
        cairo_identity_matrix(cairo_);
        cairo_mask(cairo_, mask);
    }
    cairo_pattern_destroy(mask);
    cairo_restore(cairo_);
}

bool Painter::SetSource(const Brush& brush, const Matrix& toDevice, const std::optional<Rect>& box,
                        const Rect& area, double alpha) {
    alpha *= Clamp01(brush.opacity);
    if (alpha <= 0) return false;
    switch (brush.kind) {
        case Brush::Kind::kSolid: {
            const double a = Clamp01(brush.color.a) * alpha;
            if (a <= 0) return false;
            cairo_set_source_rgba(cairo_, brush.color.r, brush.color.g, brush.color.b, a);
            return true;
        }
        case Brush::Kind::kLinear:
        case Brush::Kind::kRadial:
            return SetGradientSource(brush, toDevice, box, alpha);
        case Brush::Kind::kDrawing:
            return SetDrawingSource(brush, toDevice, box, area, alpha);
    }
    return false;
}

bool Painter::SetGradientSource(const Brush& brush, const Matrix& toDevice, const std::optional<Rect>& box, double alpha) {
    const std::vector<GradientStop> stops = StopsWithinUnitRange(brush.stops);
    if (stops.empty()) return false;
    // The brush's own coordinates to the element's: the bounding box first when relative, then
    // the brush's transform.
    Matrix toElement = brush.transform;
    if (brush.mappingMode == MappingMode::kRelativeToBoundingBox) {
        if (!box || box->width <= 0 || box->height <= 0) return false;
        toElement = Then(Then(Matrix::Scaling(box->width, box->height), Matrix::Translation(box->x, box->y)), brush.transform);
    }
    auto solid = [&](const Color& color) {
        const double a = Clamp01(color.a) * alpha;
        if (a <= 0) return false;
        cairo_set_source_rgba(cairo_, color.r, color.g, color.b, a);
        return true;
    };
    cairo_pattern_t* pattern = nullptr;
    Matrix patternToElement = toElement;
    if (brush.kind == Brush::Kind::kLinear) {
        if (brush.startPoint.x == brush.endPoint.x && brush.startPoint.y == brush.endPoint.y) return solid(stops.back().color);
        pattern = cairo_pattern_create_linear(brush.startPoint.x, brush.startPoint.y, brush.endPoint.x, brush.endPoint.y);
    } else {
        const double rx = brush.radiusX, ry = brush.radiusY;
        if (!(rx > 0 && ry > 0)) return solid(stops.back().color);
        // The ellipse as the unit circle of the pattern's coordinates.
        patternToElement = Then(Then(Matrix::Scaling(rx, ry), Matrix::Translation(brush.center.x, brush.center.y)), toElement);
        const double fx = (brush.gradientOrigin.x - brush.center.x) / rx;
        const double fy = (brush.gradientOrigin.y - brush.center.y) / ry;
        pattern = cairo_pattern_create_radial(fx, fy, 0, 0, 0, 1);
    }
    const Matrix patternToDevice = Then(patternToElement, toDevice);
    const std::optional<Matrix> deviceToPattern = Inverse(patternToDevice);
    if (!IsDrawable(patternToDevice) || !deviceToPattern) {
        cairo_pattern_destroy(pattern);
        return false;
    }
    for (const GradientStop& stop : stops) {
        cairo_pattern_add_color_stop_rgba(pattern, stop.offset, stop.color.r, stop.color.g, stop.color.b,
                                          Clamp01(stop.color.a) * alpha);
    }
    cairo_pattern_set_extend(pattern, brush.spread == SpreadMethod::kReflect  ? CAIRO_EXTEND_REFLECT
                                      : brush.spread == SpreadMethod::kRepeat ? CAIRO_EXTEND_REPEAT
                                                                              : CAIRO_EXTEND_PAD);
    const cairo_matrix_t matrix = ToCairo(*deviceToPattern);
    cairo_pattern_set_matrix(pattern, &matrix);
    cairo_identity_matrix(cairo_);
    cairo_set_source(cairo_, pattern);
    cairo_pattern_destroy(pattern);
    return true;
}

bool Painter::SetDrawingSource(const Brush& brush, const Matrix& toDevice, const std::optional<Rect>& box,
                               const Rect& area, double alpha) {
    if (!brush.drawing || openDrawingBrushes_ >= kMaxOpenDrawingBrushes) return false;
    Rect viewbox = brush.viewbox;
    if (brush.viewboxUnits == MappingMode::kRelativeToBoundingBox) {
        const std::optional<Rect> content = ContentBounds(*brush.drawing);
        if (!content) return false;
        viewbox = {content->x + viewbox.x * content->width, content->y + viewbox.y * content->height,
                   viewbox.width * content->width, viewbox.height * content->height};
    }
    Rect viewport = brush.viewport;
    if (brush.viewportUnits == MappingMode::kRelativeToBoundingBox) {
        if (!box) return false;
        viewport = {box->x + viewport.x * box->width, box->y + viewport.y * box->height,
                    viewport.width * box->width, viewport.height * box->height};
    }
    if (!(viewbox.width > 0 && viewbox.height > 0 && viewport.width > 0 && viewport.height > 0)) return false;
    double scaleX = viewport.width / viewbox.width, scaleY = viewport.height / viewbox.height;
    if (brush.stretch == Stretch::kUniform) scaleX = scaleY = std::min(scaleX, scaleY);
    else if (brush.stretch == Stretch::kUniformToFill) scaleX = scaleY = std::max(scaleX, scaleY);
    else if (brush.stretch == Stretch::kNone) scaleX = scaleY = 1;
    auto share = [](Alignment alignment) {
        return alignment == Alignment::kStart ? 0.0 : alignment == Alignment::kCenter ? 0.5 : 1.0;
    };
    const double offsetX = viewport.x + share(brush.alignmentX) * (viewport.width - viewbox.width * scaleX);
    const double offsetY = viewport.y + share(brush.alignmentY) * (viewport.height - viewbox.height * scaleY);
    const Matrix tileToDevice = Then(brush.transform, toDevice);
    const Matrix contentToDevice = Then(Then(Then(Matrix::Translation(-viewbox.x, -viewbox.y), Matrix::Scaling(scaleX, scaleY)),
                                             Matrix::Translation(offsetX, offsetY)),
                                        tileToDevice);
    if (!IsDrawable(tileToDevice) || !IsDrawable(contentToDevice)) return false;

    // The drawing is drawn once, into a group as large as the painted area, clipped to the
    // one tile (no tiling).
    ++openDrawingBrushes_;
    cairo_save(cairo_);
    cairo_identity_matrix(cairo_);
    cairo_rectangle(cairo_, area.x, area.y, area.width, area.height);
    cairo_clip(cairo_);
    cairo_push_group(cairo_);
    Clip(RectangleGeometry(viewport.x, viewport.y, viewport.width, viewport.height), tileToDevice);
    double inner = 1;
    const bool grouped = BeginGroup(alpha, inner);
    DrawDrawing(*brush.drawing, contentToDevice, inner);
    if (grouped) EndGroup(alpha);
    cairo_identity_matrix(cairo_);
    cairo_pattern_t* pattern = cairo_pop_group(cairo_);
    cairo_restore(cairo_);
    --openDrawingBrushes_;
    cairo_identity_matrix(cairo_);
    cairo_set_source(cairo_, pattern);
    cairo_pattern_destroy(pattern);
    return true;
}

void Painter::AppendPath(const Geometry& geometry, const Matrix& toDevice) {
    const cairo_matrix_t matrix = ToCairo(toDevice);
    cairo_set_matrix(cairo_, &matrix);
    cairo_new_path(cairo_);
    std::optional<Matrix> back;
    auto within = [&](Point p) {
        const Point d = toDevice.Apply(p);
        if (std::fabs(d.x) <= kFarthest && std::fabs(d.y) <= kFarthest) return p;
        if (!back) back = Inverse(toDevice);
        if (!back) return p;
        return back->Apply({std::clamp(d.x, -kFarthest, kFarthest), std::clamp(d.y, -kFarthest, kFarthest)});
    };
    for (const Figure& figure : geometry.figures) {
        const Point start = within(figure.start);
        cairo_move_to(cairo_, start.x, start.y);
        for (const Segment& segment : figure.segments) {
            const Point end = within(segment.end);
            if (segment.cubic) {
                const Point c1 = within(segment.control1), c2 = within(segment.control2);
                cairo_curve_to(cairo_, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
            } else {
                cairo_line_to(cairo_, end.x, end.y);
            }
        }
        if (figure.closed) cairo_close_path(cairo_);
    }
}

void Painter::Clip(const Geometry& geometry, const Matrix& toDevice) {
    // A clip geometry's own fill rule decides what is inside.
    AppendPath(geometry, toDevice);
    cairo_set_fill_rule(cairo_, geometry.fillRule == FillRule::kNonzero ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cairo_);
}

}  // namespace preview
