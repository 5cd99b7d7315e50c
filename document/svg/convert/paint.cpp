#include "document/svg/convert/paint.h"

#include <algorithm>
#include <cmath>

#include "document/svg/convert/gradient_geometry.h"
#include "document/svg/convert/host_color.h"
#include "document/svg/values/transform.h"

namespace document::svg {
namespace {

Rgb Black() {
    return Rgb{};
}

// A colour property, with currentColor answered by the element's `color`.
std::optional<Rgb> ColorOf(const Color& color, const Element& element) {
    if (!color.currentColor) return color.rgb;
    const std::optional<Color> current = ParseColor(element.Get(Property::kColor));
    if (!current || current->currentColor) return Black();
    return current->rgb;
}

// A gradient attribute as a coordinate: fractions of the box for objectBoundingBox, user units
// against the viewport otherwise.
double Coordinate(std::string_view text, std::string_view fallback, LengthAxis axis, bool boundingBox,
                  const Viewport& viewport) {
    std::optional<Length> length = ParseLength(text.empty() ? fallback : text);
    if (!length) length = ParseLength(fallback);
    if (boundingBox) return ToUserUnits(*length, axis, 1, 1);
    return ToUserUnits(*length, axis, viewport.width, viewport.height);
}

uint8_t Mix(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::lround(a + (double(b) - a) * t));
}

}  // namespace

std::string Where(const Element& element) {
    if (!element.id.empty()) return "id \"" + std::string(element.id) + "\"";
    return "line " + std::to_string(element.line);
}

double OpacityValue(std::string_view text, double fallback) {
    if (text.empty()) return fallback;
    std::optional<double> value = ParseNumber(text);
    if (!value && text.back() == '%') {
        value = ParseNumber(text.substr(0, text.size() - 1));
        if (value) *value /= 100;
    }
    if (!value) return fallback;
    return std::clamp(*value, 0.0, 1.0);
}

StopData StopsAt(const std::vector<StopData>& stops, double offset) {
    if (stops.empty()) return {};
    if (offset <= stops.front().offset) return stops.front();
    for (size_t i = 1; i < stops.size(); ++i) {
        if (offset <= stops[i].offset) {
            const StopData& a = stops[i - 1];
            const StopData& b = stops[i];
            const double span = b.offset - a.offset;
            const double t = span > 0 ? (offset - a.offset) / span : 1;
            StopData mixed;
            mixed.offset = offset;
            mixed.color = {Mix(a.color.r, b.color.r, t), Mix(a.color.g, b.color.g, t), Mix(a.color.b, b.color.b, t), 1};
            mixed.opacity = a.opacity + (b.opacity - a.opacity) * t;
            return mixed;
        }
    }
    return stops.back();
}

GradientDefinition ResolveGradient(const Tree& tree, const Element& gradient) {
    GradientDefinition d;
    d.element = &gradient;
    d.radial = gradient.tag == Tag::kRadialGradient;
    std::vector<const Element*> chain;
    const Element* stopsFrom = nullptr;
    for (const Element* e = &gradient; e;) {
        if (std::find(chain.begin(), chain.end(), e) != chain.end()) {
            d.cycle = true;
            break;
        }
        chain.push_back(e);
        auto take = [e](std::string_view& into, std::string_view name) {
            if (into.empty()) into = e->Attribute(name);
        };
        if (e->tag == gradient.tag) {
            if (d.radial) {
                take(d.cx, "cx"), take(d.cy, "cy"), take(d.r, "r"), take(d.fx, "fx"), take(d.fy, "fy"), take(d.fr, "fr");
            } else {
                take(d.x1, "x1"), take(d.y1, "y1"), take(d.x2, "x2"), take(d.y2, "y2");
            }
        }
        take(d.units, "gradientUnits"), take(d.transform, "gradientTransform"), take(d.spread, "spreadMethod");
        if (!stopsFrom) {
            for (const Element* child : e->children) {
                if (child->tag == Tag::kStop) {
                    stopsFrom = e;
                    break;
                }
            }
        }
        const std::string_view href = e->Attribute("href");
        if (href.size() < 2 || href.front() != '#') break;
        const Element* next = tree.FindById(href.substr(1));
        if (!next || (next->tag != Tag::kLinearGradient && next->tag != Tag::kRadialGradient)) break;
        e = next;
    }
    if (!stopsFrom) return d;
    double last = 0;
    for (const Element* stop : stopsFrom->children) {
        if (stop->tag != Tag::kStop) continue;
        StopData data;
        const std::string_view offsetText = stop->Attribute("offset");
        std::optional<double> offset = ParseNumber(offsetText);
        if (!offset && !offsetText.empty() && offsetText.back() == '%') {
            offset = ParseNumber(offsetText.substr(0, offsetText.size() - 1));
            if (offset) *offset /= 100;
        }
        data.offset = std::max(last, std::clamp(offset.value_or(0), 0.0, 1.0));
        last = data.offset;
        const std::optional<Color> color = ParseColor(stop->Get(Property::kStopColor));
        data.color = color ? ColorOf(*color, *stop).value_or(Black()) : Black();
        data.opacity = OpacityValue(stop->Get(Property::kStopOpacity)) * data.color.alpha;
        data.color.alpha = 1;
        d.stops.push_back(data);
    }
    return d;
}

PaintResolver::HostGradient& PaintResolver::GradientFor(const Element& element) {
    auto found = gradients_.find(&element);
    if (found != gradients_.end()) return found->second;
    HostGradient& host = gradients_[&element];
    host.definition = ResolveGradient(tree_, element);
    if (host.definition.cycle) losses_.Add("gradient href cycle", Where(element));
    const std::vector<StopData>& stops = host.definition.stops;
    if (stops.size() < 2) return host;  // none or one colour: painted solid
    bool sameOpacity = true;
    double sum = 0;
    for (const StopData& stop : stops) {
        sameOpacity = sameOpacity && stop.opacity == stops.front().opacity;
        sum += stop.opacity;
    }
    host.opacity = sameOpacity ? stops.front().opacity : sum / double(stops.size());
    if (!sameOpacity) losses_.Add("gradient stops of differing opacity", Where(element));

    auto gradient = std::make_unique<Gradient>();
    gradient->type = host.definition.radial ? kRadialGradient : kLinearGradient;
    for (const StopData& stop : stops) {
        GradientStop hostStop{};
        hostStop.midpoint = 50;
        hostStop.position = static_cast<HostReal>(stop.offset * 100);
        hostStop.color = RgbHostColor(stop.color);
        gradient->stops.push_back(hostStop);
    }
    std::string name = element.id.empty() ? std::string("gradient") : std::string(element.id);
    for (int n = 2; document_.gradients.count(name); ++n) name = std::string(element.id) + "-" + std::to_string(n);
    host.gradient = gradient.get();
    document_.gradients.emplace(name, std::move(gradient));
    return host;
}

ResolvedPaint PaintResolver::Resolve(const Element& element, bool stroke, const LazyOutlineBox& box,
                                     const Matrix& userToDocument, const Viewport& viewport) {
    const std::string_view text = element.Get(stroke ? Property::kStroke : Property::kFill);
    std::optional<Paint> paint;
    if (!text.empty()) paint = ParsePaint(text);
    if (!paint) {
        // Initial values: black fill, no stroke.
        paint = Paint{};
        paint->kind = stroke ? Paint::kNone : Paint::kColor;
    }
    ResolvedPaint result;
    const double ownOpacity = OpacityValue(element.Get(stroke ? Property::kStrokeOpacity : Property::kFillOpacity));
    auto solid = [&](const Rgb& rgb, double alpha) {
        result.painted = true;
        result.color = RgbHostColor(rgb);
        result.alpha = ownOpacity * alpha * rgb.alpha;
        return result;
    };
    auto fallback = [&]() {
        if (paint->hasFallback && !paint->fallbackNone) {
            const std::optional<Rgb> rgb = ColorOf(paint->color, element);
            if (rgb) return solid(*rgb, 1);
        }
        return result;
    };
    switch (paint->kind) {
        case Paint::kNone: return result;
        case Paint::kColor: return solid(ColorOf(paint->color, element).value_or(Black()), 1);
        case Paint::kUrl: break;
    }
    const Element* server = tree_.FindById(paint->url);
    if (!server) {
        losses_.Add(paint->hasFallback ? "reference to a missing paint server (fallback used)"
                                       : "reference to a missing paint server (not painted)",
                    Where(element));
        return fallback();
    }
    if (server->tag == Tag::kPattern) {
        losses_.Add("pattern", Where(*server));
        return fallback();
    }
    if (server->tag != Tag::kLinearGradient && server->tag != Tag::kRadialGradient) {
        losses_.Add("paint reference to an element that is not a paint server", Where(element));
        return fallback();
    }
    ResolvedPaint gradient = GradientPaint(element, *server, stroke, box.Get(), userToDocument, viewport);
    gradient.alpha *= ownOpacity;
    return gradient;
}

ResolvedPaint PaintResolver::GradientPaint(const Element& shape, const Element& server, bool stroke,
                                           const std::optional<Box>& box, const Matrix& userToDocument,
                                           const Viewport& viewport) {
    HostGradient& host = GradientFor(server);
    const GradientDefinition& d = host.definition;
    ResolvedPaint result;
    if (d.stops.empty()) return result;  // no stops: nothing painted
    auto solid = [&result](const StopData& stop) {
        result.painted = true;
        result.color = RgbHostColor(stop.color);
        result.alpha = stop.opacity;
        return result;
    };
    if (d.stops.size() == 1) return solid(d.stops.front());

    const bool boundingBox = d.units != "userSpaceOnUse";
    Matrix boxMatrix;
    if (boundingBox) {
        // A shape without width or height has no box to map the gradient into.
        if (!box || !(box->Width() > 0) || !(box->Height() > 0)) return result;
        boxMatrix = Matrix{box->Width(), 0, 0, box->Height(), box->left, box->top};
    }
    const Matrix gradientTransform = ParseTransform(d.transform).value_or(Matrix{});
    const Matrix gradientToUser = boxMatrix * gradientTransform;
    const Matrix gradientToDocument = userToDocument * gradientToUser;
    if (!gradientToUser.Invertible()) return solid(StopsAt(d.stops, 0.5));

    // How far the shape reaches along the gradient, in its coordinates: a reflected or repeated
    // gradient that the shape reaches past its end is painted padded.
    auto reachesPast = [&](auto&& parameterAt) {
        if (!box) return false;
        const Matrix toGradient = gradientToUser.Inverse();
        const Point corners[4] = {{box->left, box->top}, {box->right, box->top}, {box->left, box->bottom},
                                  {box->right, box->bottom}};
        for (const Point& corner : corners) {
            const double t = parameterAt(toGradient.Apply(corner));
            if (t < -1e-9 || t > 1 + 1e-9) return true;
        }
        return false;
    };
    const bool spreads = d.spread == "reflect" || d.spread == "repeat";

    if (stroke) losses_.Add("gradient on a stroke (painted in the gradient's middle colour)", Where(shape));
    if (!d.radial) {
        const Point p1{Coordinate(d.x1, "0%", LengthAxis::kX, boundingBox, viewport),
                       Coordinate(d.y1, "0%", LengthAxis::kY, boundingBox, viewport)};
        const Point p2{Coordinate(d.x2, "100%", LengthAxis::kX, boundingBox, viewport),
                       Coordinate(d.y2, "0%", LengthAxis::kY, boundingBox, viewport)};
        const double dx = p2.x - p1.x, dy = p2.y - p1.y, squared = dx * dx + dy * dy;
        if (!(squared > 0)) return solid(d.stops.back());  // no vector: the last colour
        if (stroke) return solid(StopsAt(d.stops, 0.5));
        if (spreads && reachesPast([&](Point p) { return ((p.x - p1.x) * dx + (p.y - p1.y) * dy) / squared; })) {
            losses_.Add("gradient spread beyond its end (painted padded)", Where(*d.element));
        }
        result.painted = true;
        result.color.kind = kGradientColor;
        result.color.c.gradient = LinearGradientFill(reinterpret_cast<GradientHandle>(host.gradient), p1, p2,
                                                     gradientToDocument);
        result.alpha = host.opacity;
        return result;
    }
    const Point centre{Coordinate(d.cx, "50%", LengthAxis::kX, boundingBox, viewport),
                       Coordinate(d.cy, "50%", LengthAxis::kY, boundingBox, viewport)};
    const double radius = Coordinate(d.r, "50%", LengthAxis::kOther, boundingBox, viewport);
    const Point focal{d.fx.empty() ? centre.x : Coordinate(d.fx, "50%", LengthAxis::kX, boundingBox, viewport),
                      d.fy.empty() ? centre.y : Coordinate(d.fy, "50%", LengthAxis::kY, boundingBox, viewport)};
    const double focalRadius = Coordinate(d.fr, "0%", LengthAxis::kOther, boundingBox, viewport);
    if (radius < 0) return result;                        // an error: not painted
    if (!(radius > 0)) return solid(d.stops.back());      // a point: the last colour
    if (stroke) return solid(StopsAt(d.stops, 0.5));
    if (focalRadius > 0) losses_.Add("radial gradient focal radius", Where(*d.element));
    if (spreads && reachesPast([&](Point p) { return std::hypot(p.x - centre.x, p.y - centre.y) / radius; })) {
        losses_.Add("gradient spread beyond its end (painted padded)", Where(*d.element));
    }
    bool focalMoved = false;
    result.painted = true;
    result.color.kind = kGradientColor;
    result.color.c.gradient = RadialGradientFill(reinterpret_cast<GradientHandle>(host.gradient), centre, radius,
                                                 focal, gradientToDocument, focalMoved);
    if (focalMoved) losses_.Add("radial gradient focal point outside its circle (moved onto it)", Where(*d.element));
    result.alpha = host.opacity;
    return result;
}

}  // namespace document::svg
