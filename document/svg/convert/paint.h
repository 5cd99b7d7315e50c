// Fill and stroke paints (colours, gradients, references) as the host's colours.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/svg/convert/lengths.h"
#include "document/svg/convert/shapes.h"
#include "document/svg/loss_report.h"
#include "document/svg/tree/tree.h"
#include "document/svg/values/color.h"
#include "document/svg/values/matrix.h"

namespace document::svg {

// What an element paints with one of fill or stroke.
struct ResolvedPaint {
    bool painted = false;
    HostColor color{};   // solid (RGB) or gradient fill
    double alpha = 1;    // the paint's own opacity (fill-opacity, a colour's alpha, stops)
};

// "id \"x\"" or "line N": the element in reports.
std::string Where(const Element& element);

// An opacity property: a number or percentage clamped to 0..1, or `fallback`.
double OpacityValue(std::string_view text, double fallback = 1);

// The stops of a gradient after href inheritance: offsets clamped to 0..1 and non-decreasing.
struct StopData {
    double offset = 0;
    Rgb color;
    double opacity = 1;
};

// A gradient element with what it inherits through href (attributes of its own kind, units,
// transform, spread and the stops of the first element of the chain that has any).
struct GradientDefinition {
    const Element* element = nullptr;
    bool radial = false;
    std::string_view x1, y1, x2, y2, cx, cy, r, fx, fy, fr;
    std::string_view units, transform, spread;
    std::vector<StopData> stops;
    bool cycle = false;  // the href chain came back to an element already in it
};

GradientDefinition ResolveGradient(const Tree& tree, const Element& gradient);

class PaintResolver {
public:
    PaintResolver(const Tree& tree, Document& document, LossReport& losses)
        : tree_(tree), document_(document), losses_(losses) {}

    // The element's fill (`stroke` false) or stroke. `box` is the shape's bounds in its user
    // coordinates, `userToDocument` its user to document mapping.
    ResolvedPaint Resolve(const Element& element, bool stroke, const LazyOutlineBox& box,
                          const Matrix& userToDocument, const Viewport& viewport);

private:
    struct HostGradient {
        GradientDefinition definition;
        Gradient* gradient = nullptr;  // in the document; null when there are no stops
        double opacity = 1;
    };
    HostGradient& GradientFor(const Element& element);
    ResolvedPaint GradientPaint(const Element& shape, const Element& server, bool stroke,
                                const std::optional<Box>& box, const Matrix& userToDocument,
                                const Viewport& viewport);

    const Tree& tree_;
    Document& document_;
    LossReport& losses_;
    std::map<const Element*, HostGradient> gradients_;
};

// The colour of a gradient's stops at `offset` (for the places where the host holds no
// gradient), and its opacity there.
StopData StopsAt(const std::vector<StopData>& stops, double offset);

}  // namespace document::svg
