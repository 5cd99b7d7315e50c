// Reads the element tree of a XAML file into a scene: each element the previewer knows, its
// attributes and its property elements, with WPF's defaults; anything else is refused with the
// file, the line and the element (and attribute) named.
#include <algorithm>
#include <string>
#include <string_view>

#include "preview/path_markup.h"
#include "preview/preview.h"
#include "preview/scene_data.h"
#include "preview/values.h"
#include "preview/xml_tree.h"

namespace preview {
namespace {

constexpr std::string_view kWpfNamespace = "http://schemas.microsoft.com/winfx/2006/xaml/presentation";
constexpr std::string_view kWpfeNamespace = "http://schemas.microsoft.com/client/2007";
constexpr std::string_view kXamlNamespace = "http://schemas.microsoft.com/winfx/2006/xaml";

using Owners = std::initializer_list<std::string_view>;

bool IsUiElementName(std::string_view name) {
    return name == "Viewbox" || name == "Canvas" || name == "Path" || name == "Rectangle";
}

class SceneReader {
public:
    explicit SceneReader(const std::string& fileName) : fileName_(fileName) {}

    std::shared_ptr<const SceneData> Read(const XmlElement& root) {
        CheckElement(root);
        if (!IsUiElementName(root.name)) Fail(root, "is not an element that can stand outermost (Viewbox, Canvas, Path or Rectangle)");
        auto data = std::make_shared<SceneData>();
        std::shared_ptr<const Element> element = ReadUiElement(root);
        if (std::isnan(element->width) || std::isnan(element->height)) {
            Fail(root, "the outer element needs a Width and a Height");
        }
        data->width = element->width;
        data->height = element->height;
        data->root = std::move(element);
        return data;
    }

private:
    // What one element has set, so that a property set twice is refused as WPF refuses it.
    class Assigned {
    public:
        Assigned(SceneReader& reader, const XmlElement& element) : reader_(reader), element_(element) {}
        void Set(std::string_view property) {
            if (std::find(names_.begin(), names_.end(), property) != names_.end()) {
                reader_.Fail(element_, "sets " + std::string(property) + " more than once");
            }
            names_.emplace_back(property);
        }

    private:
        SceneReader& reader_;
        const XmlElement& element_;
        std::vector<std::string> names_;
    };

    [[noreturn]] void Fail(const XmlElement& element, const std::string& message) const {
        throw XamlError(fileName_, element.line, "<" + element.name + "> " + message);
    }

    [[noreturn]] void FailAttribute(const XmlElement& element, const XmlAttribute& attribute,
                                    const std::string& message) const {
        throw XamlError(fileName_, element.line, "<" + element.name + "> attribute " + attribute.name + ": " + message);
    }

    void CheckElement(const XmlElement& element) const {
        if (element.ns != kWpfNamespace && element.ns != kWpfeNamespace) {
            Fail(element, element.ns.empty() ? "is in no namespace; XAML elements are in WPF's"
                                             : "is in the namespace " + element.ns + ", not in WPF's");
        }
    }

    // Calls `handle(name, value)` for every attribute; it answers false for a name it does not
    // know. x:Name, x:Key and x:Uid are passed over.
    template <typename Handle>
    void ForAttributes(const XmlElement& element, Assigned& assigned, Handle handle) {
        for (const XmlAttribute& attribute : element.attributes) {
            if (attribute.ns == kXamlNamespace) {
                if (attribute.name == "Name" || attribute.name == "Key" || attribute.name == "Uid") continue;
                FailAttribute(element, attribute, "x:" + attribute.name + " is not understood");
            }
            if (!attribute.ns.empty()) {
                FailAttribute(element, attribute, "is in the namespace " + attribute.ns + ", which the previewer does not read");
            }
            assigned.Set(attribute.name);
            bool known = false;
            try {
                known = handle(attribute.name, std::string_view(attribute.value));
            } catch (const ValueError& error) {
                FailAttribute(element, attribute, error.what());
            }
            if (!known) Fail(element, "has no attribute " + attribute.name + " that the previewer reads");
        }
    }

    // The property of a property element `<Owner.Property>` under `parent`, or "" for an
    // object element. The owner must be the parent's type or one of `owners`.
    std::string_view PropertyOf(const XmlElement& parent, const XmlElement& child, Owners owners, Assigned& assigned) {
        CheckElement(child);
        const size_t dot = child.name.find('.');
        if (dot == std::string::npos) return {};
        const std::string_view owner = std::string_view(child.name).substr(0, dot);
        const std::string_view property = std::string_view(child.name).substr(dot + 1);
        const bool ownerFits = owner == parent.name ||
                               std::find(owners.begin(), owners.end(), owner) != owners.end();
        if (!ownerFits || property.empty()) Fail(child, "is not a property of <" + parent.name + ">");
        for (const XmlAttribute& attribute : child.attributes) {
            FailAttribute(child, attribute, "a property element has no attributes");
        }
        assigned.Set(property);
        return property;
    }

    // The one object a single-valued property element holds.
    const XmlElement& OnlyChild(const XmlElement& property) {
        if (property.children.size() != 1) Fail(property, "holds exactly one element");
        CheckElement(*property.children.front());
        return *property.children.front();
    }

    // ----- elements -----

    std::shared_ptr<const Element> ReadUiElement(const XmlElement& xml) {
        CheckElement(xml);
        auto element = std::make_shared<Element>();
        element->line = xml.line;
        Assigned assigned(*this, xml);
        if (xml.name == "Canvas") {
            element->kind = Element::Kind::kCanvas;
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (UiAttribute(*element, name, value)) return true;
                if (name == "Background") return element->fill = ReadBrushValue(value), true;
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"Panel", "UIElement", "FrameworkElement"}, assigned);
                if (property.empty()) {
                    element->children.push_back(ReadChildUiElement(xml, *child));
                } else if (property == "Children") {
                    for (const auto& item : child->children) element->children.push_back(ReadChildUiElement(*child, *item));
                } else if (property == "Background") {
                    element->fill = ReadBrush(OnlyChild(*child));
                } else if (!UiProperty(*element, *child, property)) {
                    Fail(*child, "is not a property the previewer reads");
                }
            }
        } else if (xml.name == "Viewbox") {
            element->kind = Element::Kind::kViewbox;
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (UiAttribute(*element, name, value)) return true;
                if (name == "Stretch") return element->stretch = ReadStretch(value), true;
                if (name == "StretchDirection") {
                    element->stretchDirection = StretchDirection(ParseKeyword(value, {"Both", "UpOnly", "DownOnly"}));
                    return true;
                }
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"Decorator", "UIElement", "FrameworkElement"}, assigned);
                if (property.empty() || property == "Child") {
                    const XmlElement& item = property.empty() ? *child : OnlyChild(*child);
                    if (!element->children.empty()) Fail(item, "is a second child of a <Viewbox>, which holds one");
                    element->children.push_back(ReadChildUiElement(xml, item));
                } else if (!UiProperty(*element, *child, property)) {
                    Fail(*child, "is not a property the previewer reads");
                }
            }
        } else if (xml.name == "Path" || xml.name == "Rectangle") {
            const bool path = xml.name == "Path";
            element->kind = path ? Element::Kind::kPath : Element::Kind::kRectangle;
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (UiAttribute(*element, name, value) || ShapeAttribute(*element, name, value)) return true;
                if (path && name == "Data") return element->data = ParsePathMarkup(value, FillRule::kEvenOdd), true;
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"Shape", "UIElement", "FrameworkElement"}, assigned);
                if (property.empty()) Fail(*child, "cannot stand inside a <" + xml.name + ">");
                if (property == "Fill") {
                    element->fill = ReadBrush(OnlyChild(*child));
                } else if (property == "Stroke") {
                    element->stroke.brush = ReadBrush(OnlyChild(*child));
                } else if (path && property == "Data") {
                    element->data = ReadGeometry(OnlyChild(*child));
                } else if (!UiProperty(*element, *child, property)) {
                    Fail(*child, "is not a property the previewer reads");
                }
            }
        } else {
            Fail(xml, "is not an element the previewer reads");
        }
        return element;
    }

    std::shared_ptr<const Element> ReadChildUiElement(const XmlElement& parent, const XmlElement& child) {
        CheckElement(child);
        if (!IsUiElementName(child.name)) Fail(child, "cannot stand inside a <" + parent.name + ">");
        return ReadUiElement(child);
    }

    bool UiAttribute(Element& element, std::string_view name, std::string_view value) {
        if (name == "Width") return element.width = ParseSize(value), true;
        if (name == "Height") return element.height = ParseSize(value), true;
        if (name == "Canvas.Left" || name == "Canvas.Top") {
            const std::string_view trimmed = TrimSpace(value);
            const double offset = EqualsIgnoringCase(trimmed, "Auto") || EqualsIgnoringCase(trimmed, "NaN") ? 0 : ParseNumber(value);
            (name == "Canvas.Left" ? element.left : element.top) = offset;
            return true;
        }
        if (name == "Opacity") return element.opacity = ParseNumber(value), true;
        if (name == "Visibility") {
            element.visibility = Visibility(ParseKeyword(value, {"Visible", "Hidden", "Collapsed"}));
            return true;
        }
        if (name == "Clip") return element.clip = ParsePathMarkup(value, FillRule::kEvenOdd), true;
        if (name == "RenderTransform") return element.renderTransform = ParseMatrix(value), true;
        if (name == "Name") return true;
        return false;
    }

    bool UiProperty(Element& element, const XmlElement& property, std::string_view name) {
        if (name == "Clip") return element.clip = ReadGeometry(OnlyChild(property)), true;
        if (name == "RenderTransform") return element.renderTransform = ReadTransform(OnlyChild(property)), true;
        return false;
    }

    bool ShapeAttribute(Element& element, std::string_view name, std::string_view value) {
        Pen& pen = element.stroke;
        if (name == "Fill") return element.fill = ReadBrushValue(value), true;
        if (name == "Stroke") return pen.brush = ReadBrushValue(value), true;
        if (name == "StrokeThickness") return pen.thickness = ParseNumber(value), true;
        if (name == "StrokeStartLineCap") return pen.startCap = ReadCap(value), true;
        if (name == "StrokeEndLineCap") return pen.endCap = ReadCap(value), true;
        if (name == "StrokeDashCap") return pen.dashCap = ReadCap(value), true;
        if (name == "StrokeLineJoin") return pen.join = ReadJoin(value), true;
        if (name == "StrokeMiterLimit") return pen.miterLimit = ParseNumber(value), true;
        if (name == "StrokeDashArray") return pen.dashes = ReadDashes(value), true;
        if (name == "StrokeDashOffset") return pen.dashOffset = ParseNumber(value), true;
        return false;
    }

    // ----- brushes -----

    std::shared_ptr<const Brush> ReadBrushValue(std::string_view value) {
        auto brush = std::make_shared<Brush>();
        brush->color = ParseColor(value);
        return brush;
    }

    std::shared_ptr<const Brush> ReadBrush(const XmlElement& xml) {
        CheckElement(xml);
        auto brush = std::make_shared<Brush>();
        Assigned assigned(*this, xml);
        auto common = [&](std::string_view name, std::string_view value) {
            if (name == "Opacity") return brush->opacity = ParseNumber(value), true;
            if (name == "Transform") return brush->transform = ParseMatrix(value), true;
            return false;
        };
        if (xml.name == "SolidColorBrush") {
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (common(name, value)) return true;
                if (name == "Color") return brush->color = ParseColor(value), true;
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"Brush"}, assigned);
                if (property == "Transform") brush->transform = ReadTransform(OnlyChild(*child));
                else Fail(*child, "cannot stand inside a <SolidColorBrush>");
            }
        } else if (xml.name == "LinearGradientBrush" || xml.name == "RadialGradientBrush") {
            const bool linear = xml.name == "LinearGradientBrush";
            brush->kind = linear ? Brush::Kind::kLinear : Brush::Kind::kRadial;
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (common(name, value)) return true;
                if (name == "MappingMode") return brush->mappingMode = ReadUnits(value), true;
                if (name == "SpreadMethod") {
                    brush->spread = SpreadMethod(ParseKeyword(value, {"Pad", "Reflect", "Repeat"}));
                    return true;
                }
                if (name == "ColorInterpolationMode") {
                    if (ParseKeyword(value, {"SRgbLinearInterpolation", "ScRgbLinearInterpolation"}) != 0) {
                        throw ValueError("only SRgbLinearInterpolation is drawn by the previewer");
                    }
                    return true;
                }
                if (linear && name == "StartPoint") return brush->startPoint = ParsePoint(value), true;
                if (linear && name == "EndPoint") return brush->endPoint = ParsePoint(value), true;
                if (!linear && name == "Center") return brush->center = ParsePoint(value), true;
                if (!linear && name == "GradientOrigin") return brush->gradientOrigin = ParsePoint(value), true;
                if (!linear && name == "RadiusX") return brush->radiusX = ParseNumber(value), true;
                if (!linear && name == "RadiusY") return brush->radiusY = ParseNumber(value), true;
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"GradientBrush", "Brush"}, assigned);
                if (property.empty()) {
                    brush->stops.push_back(ReadGradientStop(xml, *child));
                } else if (property == "GradientStops") {
                    for (const auto& item : child->children) {
                        CheckElement(*item);
                        if (item->name == "GradientStopCollection") {
                            Assigned collectionAssigned(*this, *item);
                            ForAttributes(*item, collectionAssigned, [](std::string_view, std::string_view) { return false; });
                            for (const auto& stop : item->children) brush->stops.push_back(ReadGradientStop(*item, *stop));
                        } else {
                            brush->stops.push_back(ReadGradientStop(*child, *item));
                        }
                    }
                } else if (property == "Transform") {
                    brush->transform = ReadTransform(OnlyChild(*child));
                } else {
                    Fail(*child, "is not a property the previewer reads");
                }
            }
        } else if (xml.name == "DrawingBrush") {
            brush->kind = Brush::Kind::kDrawing;
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (common(name, value)) return true;
                if (name == "Viewbox") return brush->viewbox = ParseRect(value), true;
                if (name == "ViewboxUnits") return brush->viewboxUnits = ReadUnits(value), true;
                if (name == "Viewport") return brush->viewport = ParseRect(value), true;
                if (name == "ViewportUnits") return brush->viewportUnits = ReadUnits(value), true;
                if (name == "Stretch") return brush->stretch = ReadStretch(value), true;
                if (name == "AlignmentX") return brush->alignmentX = Alignment(ParseKeyword(value, {"Left", "Center", "Right"})), true;
                if (name == "AlignmentY") return brush->alignmentY = Alignment(ParseKeyword(value, {"Top", "Center", "Bottom"})), true;
                if (name == "TileMode") {
                    if (ParseKeyword(value, {"None", "Tile", "FlipX", "FlipY", "FlipXY"}) != 0) {
                        throw ValueError("only TileMode None is drawn by the previewer");
                    }
                    return true;
                }
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"TileBrush", "Brush"}, assigned);
                if (property == "Drawing") {
                    brush->drawing = ReadDrawing(OnlyChild(*child));
                } else if (property == "Transform") {
                    brush->transform = ReadTransform(OnlyChild(*child));
                } else {
                    Fail(*child, property.empty() ? "cannot stand inside a <DrawingBrush>; its drawing goes in <DrawingBrush.Drawing>"
                                                  : "is not a property the previewer reads");
                }
            }
        } else {
            Fail(xml, "is not a brush the previewer reads");
        }
        return brush;
    }

    GradientStop ReadGradientStop(const XmlElement& parent, const XmlElement& xml) {
        CheckElement(xml);
        if (xml.name != "GradientStop") Fail(xml, "cannot stand inside a <" + parent.name + ">");
        GradientStop stop;
        Assigned assigned(*this, xml);
        ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
            if (name == "Offset") return stop.offset = ParseNumber(value), true;
            if (name == "Color") return stop.color = ParseColor(value), true;
            return false;
        });
        if (!xml.children.empty()) Fail(*xml.children.front(), "cannot stand inside a <GradientStop>");
        return stop;
    }

    // ----- drawings -----

    std::shared_ptr<const Drawing> ReadDrawing(const XmlElement& xml) {
        CheckElement(xml);
        auto drawing = std::make_shared<Drawing>();
        Assigned assigned(*this, xml);
        if (xml.name == "DrawingGroup") {
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (name == "Opacity") return drawing->opacity = ParseNumber(value), true;
                if (name == "ClipGeometry") return drawing->clip = ParsePathMarkup(value, FillRule::kEvenOdd), true;
                if (name == "Transform") return drawing->transform = ParseMatrix(value), true;
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"Drawing"}, assigned);
                if (property.empty()) {
                    drawing->children.push_back(ReadChildDrawing(xml, *child));
                } else if (property == "Children") {
                    for (const auto& item : child->children) drawing->children.push_back(ReadChildDrawing(*child, *item));
                } else if (property == "ClipGeometry") {
                    drawing->clip = ReadGeometry(OnlyChild(*child));
                } else if (property == "Transform") {
                    drawing->transform = ReadTransform(OnlyChild(*child));
                } else {
                    Fail(*child, "is not a property the previewer reads");
                }
            }
        } else if (xml.name == "GeometryDrawing") {
            drawing->kind = Drawing::Kind::kGeometry;
            ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
                if (name == "Brush") return drawing->brush = ReadBrushValue(value), true;
                if (name == "Geometry") return drawing->geometry = ParsePathMarkup(value, FillRule::kEvenOdd), true;
                return false;
            });
            for (const auto& child : xml.children) {
                const std::string_view property = PropertyOf(xml, *child, {"Drawing"}, assigned);
                if (property == "Brush") {
                    drawing->brush = ReadBrush(OnlyChild(*child));
                } else if (property == "Pen") {
                    drawing->pen = ReadPen(OnlyChild(*child));
                } else if (property == "Geometry") {
                    drawing->geometry = ReadGeometry(OnlyChild(*child));
                } else {
                    Fail(*child, property.empty() ? "cannot stand inside a <GeometryDrawing>" : "is not a property the previewer reads");
                }
            }
        } else {
            Fail(xml, "is not a drawing the previewer reads");
        }
        return drawing;
    }

    std::shared_ptr<const Drawing> ReadChildDrawing(const XmlElement& parent, const XmlElement& child) {
        CheckElement(child);
        if (child.name != "DrawingGroup" && child.name != "GeometryDrawing") {
            Fail(child, "cannot stand inside a <" + parent.name + ">");
        }
        return ReadDrawing(child);
    }

    Pen ReadPen(const XmlElement& xml) {
        if (xml.name != "Pen") Fail(xml, "is not a <Pen>");
        Pen pen;
        pen.dashCap = LineCap::kSquare;  // a Pen's own default, unlike a shape's
        Assigned assigned(*this, xml);
        ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
            if (name == "Thickness") return pen.thickness = ParseNumber(value), true;
            if (name == "Brush") return pen.brush = ReadBrushValue(value), true;
            if (name == "StartLineCap") return pen.startCap = ReadCap(value), true;
            if (name == "EndLineCap") return pen.endCap = ReadCap(value), true;
            if (name == "DashCap") return pen.dashCap = ReadCap(value), true;
            if (name == "LineJoin") return pen.join = ReadJoin(value), true;
            if (name == "MiterLimit") return pen.miterLimit = ParseNumber(value), true;
            return false;
        });
        for (const auto& child : xml.children) {
            const std::string_view property = PropertyOf(xml, *child, {}, assigned);
            if (property == "Brush") {
                pen.brush = ReadBrush(OnlyChild(*child));
            } else if (property == "DashStyle") {
                const XmlElement& style = OnlyChild(*child);
                if (style.name != "DashStyle") Fail(style, "is not a <DashStyle>");
                Assigned styleAssigned(*this, style);
                ForAttributes(style, styleAssigned, [&](std::string_view name, std::string_view value) {
                    if (name == "Dashes") return pen.dashes = ReadDashes(value), true;
                    if (name == "Offset") return pen.dashOffset = ParseNumber(value), true;
                    return false;
                });
                if (!style.children.empty()) Fail(*style.children.front(), "cannot stand inside a <DashStyle>");
            } else {
                Fail(*child, property.empty() ? "cannot stand inside a <Pen>" : "is not a property the previewer reads");
            }
        }
        return pen;
    }

    // ----- geometry and transforms -----

    Geometry ReadGeometry(const XmlElement& xml) {
        if (xml.name != "PathGeometry") Fail(xml, "is not a geometry the previewer reads (PathGeometry)");
        Geometry geometry;
        std::optional<FillRule> fillRule;
        Matrix transform;
        Assigned assigned(*this, xml);
        ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
            if (name == "Figures") return geometry = ParsePathMarkup(value, FillRule::kEvenOdd), true;
            if (name == "FillRule") return fillRule = FillRule(ParseKeyword(value, {"EvenOdd", "Nonzero"})), true;
            if (name == "Transform") return transform = ParseMatrix(value), true;
            return false;
        });
        for (const auto& child : xml.children) {
            const std::string_view property = PropertyOf(xml, *child, {"Geometry"}, assigned);
            if (property == "Transform") {
                transform = ReadTransform(OnlyChild(*child));
            } else {
                Fail(*child, property.empty() ? "cannot stand inside a <PathGeometry>; its figures go in Figures"
                                              : "is not a property the previewer reads");
            }
        }
        if (fillRule) geometry.fillRule = *fillRule;
        // A geometry's transform moves its outline, not the pen that strokes it.
        if (!transform.IsIdentity()) TransformGeometry(geometry, transform);
        return geometry;
    }

    Matrix ReadTransform(const XmlElement& xml) {
        if (xml.name != "MatrixTransform") Fail(xml, "is not a transform the previewer reads (MatrixTransform)");
        Matrix matrix;
        Assigned assigned(*this, xml);
        ForAttributes(xml, assigned, [&](std::string_view name, std::string_view value) {
            if (name == "Matrix") return matrix = ParseMatrix(value), true;
            return false;
        });
        if (!xml.children.empty()) Fail(*xml.children.front(), "cannot stand inside a <MatrixTransform>");
        return matrix;
    }

    // ----- keywords -----

    static LineCap ReadCap(std::string_view value) {
        return LineCap(ParseKeyword(value, {"Flat", "Square", "Round", "Triangle"}));
    }
    static LineJoin ReadJoin(std::string_view value) {
        return LineJoin(ParseKeyword(value, {"Miter", "Bevel", "Round"}));
    }
    static Stretch ReadStretch(std::string_view value) {
        return Stretch(ParseKeyword(value, {"None", "Fill", "Uniform", "UniformToFill"}));
    }
    static MappingMode ReadUnits(std::string_view value) {
        return MappingMode(ParseKeyword(value, {"RelativeToBoundingBox", "Absolute"}));
    }
    static std::vector<double> ReadDashes(std::string_view value) {
        std::vector<double> dashes = ParseNumberList(value);
        for (double dash : dashes) {
            if (dash < 0) throw ValueError("a dash or gap may not be negative");
        }
        return dashes;
    }

    const std::string& fileName_;
};

}  // namespace

XamlError::XamlError(const std::string& fileName, int line, const std::string& message)
    : std::runtime_error(fileName + ":" + std::to_string(line) + ": " + message), line_(line) {}

Scene::Scene() : data_(std::make_shared<SceneData>()) {}
Scene::Scene(std::shared_ptr<const SceneData> data) : data_(data ? std::move(data) : std::make_shared<SceneData>()) {}
double Scene::Width() const { return data_->width; }
double Scene::Height() const { return data_->height; }

Scene ReadXaml(std::string_view bytes, const std::string& fileName) {
    const std::unique_ptr<XmlElement> root = ReadXmlTree(bytes, fileName);
    if (!root) throw XamlError(fileName, 1, "the file has no element");
    return Scene(SceneReader(fileName).Read(*root));
}

}  // namespace preview
