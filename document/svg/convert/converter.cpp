#include "document/svg/convert/converter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "document/svg/convert/conditions.h"
#include "document/svg/convert/host_color.h"
#include "document/svg/convert/host_path.h"
#include "document/svg/convert/lengths.h"
#include "document/svg/convert/paint.h"
#include "document/svg/convert/shapes.h"
#include "document/svg/convert/stroke.h"
#include "document/svg/values/transform.h"
#include "document/svg/values/viewbox.h"

namespace document::svg {
namespace {

// The coordinates in force for an element's content.
struct Scope {
    Matrix userToDocument;  // user units to the document's (y up)
    Viewport viewport;      // for percentages
};

// A viewport whose content is clipped to it: the rectangle in the coordinates of `space`.
struct ViewportClip {
    Matrix space;
    double x = 0, y = 0, width = 0, height = 0;
};

struct Frame {
    const Element* element = nullptr;
    Art* group = nullptr;  // where the children go (null for the root: layers)
    Scope scope;           // of the children
    size_t next = 0;       // the next child to visit
    bool isSwitch = false;
    // Applied when the frame ends.
    std::optional<ViewportClip> viewportClip;
    Matrix ownUser;  // the element's own user space (for clip-path and its bounding box)
    size_t drawnAtStart = 0;
    int depth = 0;           // groups made above the children
    bool dissolved = false;  // no group of its own: the children go into the parent's
};

// The export records at most 16192 objects, groups included: past this depth groups that change
// nothing of the picture are dissolved into their parents, so that a deeply nested file still
// shows its shapes.
constexpr int kMaxGroupDepth = 1000;

bool IsGroupLike(Tag tag) {
    return tag == Tag::kG || tag == Tag::kA || tag == Tag::kSwitch || tag == Tag::kUse || tag == Tag::kSvg;
}

bool IsShape(Tag tag) {
    switch (tag) {
        case Tag::kPath: case Tag::kRect: case Tag::kCircle: case Tag::kEllipse:
        case Tag::kLine: case Tag::kPolyline: case Tag::kPolygon: return true;
        default: return false;
    }
}

// CSS keywords are ASCII case-insensitive.
bool EqualsFolded(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != lowerWord[i]) return false;
    }
    return true;
}

bool Set(std::string_view value) {
    return !value.empty() && value != "none";
}

// An element's own transform attribute. Editors often write the same transform on element
// after element: the last text read is remembered with its matrix.
class TransformReader {
public:
    Matrix operator()(const Element& e) {
        const std::string_view text = e.Attribute("transform");
        if (text.empty()) return {};
        if (text != lastText_) {
            last_ = ParseTransform(text).value_or(Matrix{});
            lastText_ = text;
        }
        return last_;
    }

private:
    std::string_view lastText_;
    Matrix last_;
};

// Whether a viewport's content is clipped to it: unless `overflow` is visible or auto (the
// initial value is visible, but SVG's own style sheet makes every viewport's hidden).
bool ClipsToViewport(const Element& viewport) {
    const std::string_view overflow = viewport.Get(Property::kOverflow);
    return !EqualsFolded(overflow, "visible") && !EqualsFolded(overflow, "auto");
}

std::unique_ptr<Art> NewArt(int16_t type, const Element* named, SharedStyle style = DefaultStyle()) {
    auto art = std::make_unique<Art>(std::move(style));
    art->type = type;
    std::string_view name;
    if (named) name = !named->label.empty() ? named->label : named->id;
    if (name.empty()) {
        art->name = DefaultArtName(type);
        art->defaultName = true;
    } else {
        art->name = std::string(name);
    }
    return art;
}

// The url(#id) of a clip-path, mask or filter property, or empty.
std::string_view UrlId(std::string_view value) {
    if (value.size() < 6 || value.substr(0, 4) != "url(") return {};
    value.remove_prefix(4);
    const size_t close = value.find(')');
    if (close == std::string_view::npos) return {};
    value = value.substr(0, close);
    while (!value.empty() && (value.front() == ' ' || value.front() == '"' || value.front() == '\'')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '"' || value.back() == '\'')) value.remove_suffix(1);
    if (value.empty() || value.front() != '#') return {};
    return value.substr(1);
}

class Converter {
public:
    Converter(const Tree& tree, const std::string& fileName, ReadResult& result)
        : tree_(tree), fileName_(fileName), result_(result), paints_(tree, result.document, result.losses) {}

    void Run();

private:
    void StartRoot();
    void Visit(const Element& child, size_t parentIndex);
    void Finish(Frame& frame);
    Art* Target(size_t parentIndex);

    void PushContainer(const Element& e, size_t parentIndex, const Element* useOwner);
    void ConvertShape(const Element& e, const Scope& scope, Art& parent);
    void AddUnshownArt(const Element& e, int16_t type, std::string_view lossKind, Art& parent);
    void ReportEffects(const Element& e);
    std::string Referenced(const Element& e, std::string_view value) const;

    // Subpaths of a shape in the document; throws for one the host cannot count.
    std::vector<HostSubpath> HostSubpaths(const Element& e, const PathData& outline, const Matrix& toDocument);
    // The same into `subpaths`, cleared first.
    void HostSubpathsInto(const Element& e, const PathData& outline, const Matrix& toDocument,
                          std::vector<HostSubpath>& subpaths);
    // Takes the subpaths' segments.
    std::unique_ptr<Art> OutlineArt(std::vector<HostSubpath>& subpaths, const PathStyle& style, const Element* named);

    // The clip path that clip-path refers to, in the document; null when none applies.
    // `clipsAll` when it leaves nothing to see.
    std::unique_ptr<Art> ClipArt(const Element& owner, const Matrix& ownerUser, const std::optional<Box>& ownerBox,
                                 bool& clipsAll);
    static void AddClip(Art& group, std::unique_ptr<Art> clip);
    // Clips the group to the viewport when its content reaches outside it.
    void ClipToViewport(Art& group, const ViewportClip& viewport);
    std::optional<Box> UserBounds(const Art& art, const Matrix& userToDocument) const;
    static bool ContentWithin(const Art& art, const Matrix& userToDocument, const Box& limits);

    const Tree& tree_;
    const std::string& fileName_;
    ReadResult& result_;
    PaintResolver paints_;
    std::vector<Frame> stack_;
    std::vector<std::unique_ptr<Art>> layers_;  // in document order (the last drawn last)
    std::vector<bool> runLayers_;               // which layers hold top-level content of no group
    Art* runLayer_ = nullptr;
    size_t drawn_ = 0;
    double rootOpacity_ = 1;
    std::optional<ViewportClip> rootClip_;  // applied to each layer
    TransformReader ownTransform_;
    // ConvertShape's, kept from shape to shape.
    PathData shapeOutline_;
    std::vector<HostSubpath> shapeSubpaths_;
    StyleTable styles_;  // the styles of the art made so far
};

void Converter::Run() {
    StartRoot();
    while (!stack_.empty()) {
        const size_t index = stack_.size() - 1;
        Frame& frame = stack_[index];
        if (frame.next < frame.element->children.size()) {
            const Element& child = *frame.element->children[frame.next++];
            Visit(child, index);  // may push: `frame` is not used after this
            continue;
        }
        Frame done = std::move(stack_.back());
        stack_.pop_back();
        Finish(done);
    }
    for (size_t i = 0; i < layers_.size(); ++i) {
        if (runLayers_[i]) std::reverse(layers_[i]->children.begin(), layers_[i]->children.end());
        // Clipping each layer to the root viewport clips the whole picture to it.
        if (rootClip_) ClipToViewport(*layers_[i], *rootClip_);
        layers_[i]->opacity = static_cast<HostReal>(layers_[i]->opacity * rootOpacity_);
    }
    if (layers_.empty()) layers_.push_back(NewArt(kGroupArt, nullptr)), runLayers_.push_back(true);
    Document& document = result_.document;
    for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) document.layers.push_back(std::move(*it));
    for (size_t i = 0; i < document.layers.size(); ++i) {
        Art& layer = *document.layers[i];
        if (layer.defaultName) layer.name = "Layer " + std::to_string(i + 1);
    }
    document.Link();
}

void Converter::StartRoot() {
    const Element& root = tree_.Root();
    const std::optional<ViewBox> box = ParseViewBox(root.Attribute("viewBox"));
    // The root's size: absolute lengths, else the view box's, else 100 by 100.
    auto side = [&](std::string_view name, double boxSide) {
        const std::optional<Length> length = ParseLength(root.Attribute(name));
        const double fallback = box ? boxSide : 100;
        if (!length || length->unit == LengthUnit::kPercent) return fallback * (length ? length->value / 100 : 1);
        return ToUserUnits(*length, LengthAxis::kOther, fallback, fallback, FontSizeOf(root));
    };
    const double width = side("width", box ? box->width : 0), height = side("height", box ? box->height : 0);
    result_.viewportToDocument = Matrix{1, 0, 0, -1, 0, height};
    result_.viewportWidth = width;
    result_.viewportHeight = height;
    Frame frame;
    frame.element = &root;
    frame.scope.viewport = box ? Viewport{box->width, box->height} : Viewport{width, height};
    Matrix toViewport = ownTransform_(root);
    if (box) toViewport = toViewport * ViewBoxTransform(*box, ParsePreserveAspectRatio(root.Attribute("preserveAspectRatio")), width, height);
    frame.scope.userToDocument = result_.viewportToDocument * toViewport;
    rootOpacity_ = OpacityValue(root.Get(Property::kOpacity));
    if (ClipsToViewport(root)) rootClip_ = ViewportClip{result_.viewportToDocument, 0, 0, width, height};
    ReportEffects(root);
    if (Set(root.Get(Property::kClipPath))) result_.losses.Add("clip-path on the root element", Where(root));
    // A root of no size draws nothing.
    if (!(width > 0) || !(height > 0)) return;
    stack_.push_back(std::move(frame));
}

Art* Converter::Target(size_t parentIndex) {
    Frame& parent = stack_[parentIndex];
    if (parent.group) return parent.group;
    // Top-level content outside any group: a layer for each run of it.
    if (!runLayer_) {
        layers_.push_back(NewArt(kGroupArt, nullptr));
        runLayers_.push_back(true);
        runLayer_ = layers_.back().get();
    }
    return runLayer_;
}

// Masks, filters and markers are reported by the element they refer to, when it is there.
std::string Converter::Referenced(const Element& e, std::string_view value) const {
    const std::string_view id = UrlId(value);
    const Element* referenced = id.empty() ? nullptr : tree_.FindById(id);
    return Where(referenced ? *referenced : e);
}

void Converter::ReportEffects(const Element& e) {
    if (Set(e.Get(Property::kMask))) result_.losses.Add("mask", Referenced(e, e.Get(Property::kMask)));
    if (Set(e.Get(Property::kFilter))) result_.losses.Add("filter", Referenced(e, e.Get(Property::kFilter)));
}

void Converter::Visit(const Element& child, size_t parentIndex) {
    if (!ConditionsPass(child)) return;
    const Frame& parent = stack_[parentIndex];
    if (parent.isSwitch) stack_[parentIndex].next = parent.element->children.size();  // only the first that passes
    if (child.Get(Property::kDisplay) == "none") return;
    const bool underUse = parent.element->tag == Tag::kUse;
    if (IsGroupLike(child.tag) || (child.tag == Tag::kSymbol && underUse)) {
        PushContainer(child, parentIndex, underUse ? parent.element : nullptr);
        return;
    }
    if (IsShape(child.tag)) {
        Scope scope = parent.scope;
        scope.userToDocument = scope.userToDocument * ownTransform_(child);
        ConvertShape(child, scope, *Target(parentIndex));
        return;
    }
    switch (child.tag) {
        case Tag::kText:
            AddUnshownArt(child, kTextFrameArt, "text", *Target(parentIndex));
            break;
        case Tag::kImage:
            AddUnshownArt(child, kPlacedArt, "image", *Target(parentIndex));
            break;
        case Tag::kForeignObject: result_.losses.Add("foreignObject", Where(child)); break;
        default: break;  // definitions and elements that are not drawn
    }
}

void Converter::AddUnshownArt(const Element& e, int16_t type, std::string_view lossKind, Art& parent) {
    std::unique_ptr<Art> art = NewArt(type, &e);
    const std::string_view visibility = e.Get(Property::kVisibility);
    art->hidden = visibility == "hidden" || visibility == "collapse";
    result_.losses.Add(lossKind, Where(e));
    parent.Add(std::move(art));
}

void Converter::PushContainer(const Element& e, size_t parentIndex, const Element* useOwner) {
    const Scope parentScope = stack_[parentIndex].scope;
    const bool topLevelGroup = stack_[parentIndex].group == nullptr && (e.tag == Tag::kG || e.tag == Tag::kA);
    Frame frame;
    frame.element = &e;
    frame.isSwitch = e.tag == Tag::kSwitch;
    frame.drawnAtStart = drawn_;
    frame.scope = parentScope;
    // A symbol's own transform does not apply (it has none in SVG 1.1; SVG 2 gives it the use's).
    frame.ownUser = e.tag == Tag::kSymbol ? parentScope.userToDocument : parentScope.userToDocument * ownTransform_(e);
    frame.scope.userToDocument = frame.ownUser;
    const Viewport& vp = parentScope.viewport;
    const double fontSize = FontSizeOf(e);

    if (e.tag == Tag::kUse) {
        const double x = LengthAttribute(e, "x", LengthAxis::kX, vp, fontSize).value_or(0);
        const double y = LengthAttribute(e, "y", LengthAxis::kY, vp, fontSize).value_or(0);
        frame.scope.userToDocument = frame.scope.userToDocument * Matrix::Translate(x, y);
    } else if (e.tag == Tag::kSvg || e.tag == Tag::kSymbol) {
        // A new viewport. Through a <use>, its width and height come from the use when given.
        auto side = [&](std::string_view name, LengthAxis axis) {
            std::optional<double> value;
            if (useOwner) value = LengthAttribute(*useOwner, name, axis, vp, fontSize);
            if (!value) value = LengthAttribute(e, name, axis, vp, fontSize);
            return value.value_or(axis == LengthAxis::kX ? vp.width : vp.height);
        };
        const double x = e.tag == Tag::kSvg ? LengthAttribute(e, "x", LengthAxis::kX, vp, fontSize).value_or(0) : 0;
        const double y = e.tag == Tag::kSvg ? LengthAttribute(e, "y", LengthAxis::kY, vp, fontSize).value_or(0) : 0;
        const double width = side("width", LengthAxis::kX), height = side("height", LengthAxis::kY);
        if (!(width > 0) || !(height > 0)) return;  // a viewport of no size draws nothing
        const std::optional<ViewBox> box = ParseViewBox(e.Attribute("viewBox"));
        if (e.HasAttribute("viewBox") && !box) return;  // a view box of no size: nothing drawn
        Matrix toViewport = Matrix::Translate(x, y);
        if (box) {
            toViewport = toViewport *
                         ViewBoxTransform(*box, ParsePreserveAspectRatio(e.Attribute("preserveAspectRatio")), width, height);
        }
        frame.scope.userToDocument = frame.ownUser * toViewport;
        frame.scope.viewport = box ? Viewport{box->width, box->height} : Viewport{width, height};
        if (ClipsToViewport(e)) frame.viewportClip = ViewportClip{frame.ownUser, x, y, width, height};
    }

    ReportEffects(e);
    const double opacity = OpacityValue(e.Get(Property::kOpacity));
    frame.depth = stack_[parentIndex].depth + 1;
    if (frame.depth > kMaxGroupDepth && !frame.viewportClip && opacity == 1 && !Set(e.Get(Property::kClipPath))) {
        result_.losses.Add("groups nested deeper than 1000 levels (dissolved into their parents)", Where(e));
        frame.dissolved = true;
        frame.depth = stack_[parentIndex].depth;
        frame.group = Target(parentIndex);
        stack_.push_back(std::move(frame));
        return;
    }
    std::unique_ptr<Art> group = NewArt(kGroupArt, &e);
    group->opacity = static_cast<HostReal>(opacity);
    if (topLevelGroup) {
        frame.group = group.get();
        layers_.push_back(std::move(group));
        runLayers_.push_back(false);
        runLayer_ = nullptr;
    } else {
        Art* target = Target(parentIndex);
        frame.group = target->Add(std::move(group));
    }
    stack_.push_back(std::move(frame));
}

void Converter::AddClip(Art& group, std::unique_ptr<Art> clip) {
    const bool clipped = !group.children.empty() && group.children.front()->Style().clip != 0 &&
                         (group.children.front()->type == kPathArt || group.children.front()->type == kCompoundPathArt);
    if (clipped) {
        // Already a clip group: its content becomes a group of its own inside the new clip.
        auto inner = NewArt(kGroupArt, nullptr);
        for (auto& child : group.children) inner->Add(std::move(child));
        group.children.clear();
        group.Add(std::move(inner));
    }
    clip->parent = &group;
    group.children.insert(group.children.begin(), std::move(clip));
}

void Converter::ClipToViewport(Art& group, const ViewportClip& v) {
    if (group.children.empty()) return;
    // Clip only what overflows: the content's bounds in the viewport's coordinates.
    const double slack = 1e-6 * std::max(v.width, v.height);
    if (ContentWithin(group, v.space, {v.x - slack, v.y - slack, v.x + v.width + slack, v.y + v.height + slack})) return;
    Subpath rect;
    rect.start = {v.x, v.y};
    rect.closed = true;
    for (Point p : {Point{v.x + v.width, v.y}, Point{v.x + v.width, v.y + v.height}, Point{v.x, v.y + v.height}}) {
        PathSegmentData segment;
        segment.end = p;
        rect.segments.push_back(segment);
    }
    std::vector<HostSubpath> subpaths;
    subpaths.push_back(*ToHostSubpath(rect, v.space));
    PathStyle style = DefaultPathStyle();
    style.clip = 1;
    AddClip(group, OutlineArt(subpaths, style, nullptr));
}

void Converter::Finish(Frame& frame) {
    if (!frame.group || frame.dissolved) return;  // the root, or a group dissolved into its parent
    Art& group = *frame.group;
    std::reverse(group.children.begin(), group.children.end());
    const Element& e = *frame.element;
    if (group.opacity < 1 && drawn_ - frame.drawnAtStart >= 2) {
        result_.losses.Add("group opacity (applied to each object of the group)", Where(e));
    }
    if (frame.viewportClip) ClipToViewport(group, *frame.viewportClip);
    if (Set(e.Get(Property::kClipPath))) {
        bool clipsAll = false;
        std::unique_ptr<Art> clip = ClipArt(e, frame.ownUser, UserBounds(group, frame.ownUser), clipsAll);
        if (clipsAll) {
            group.children.clear();
        } else if (clip) {
            AddClip(group, std::move(clip));
        }
    }
}

std::vector<HostSubpath> Converter::HostSubpaths(const Element& e, const PathData& outline, const Matrix& toDocument) {
    std::vector<HostSubpath> subpaths;
    HostSubpathsInto(e, outline, toDocument, subpaths);
    return subpaths;
}

void Converter::HostSubpathsInto(const Element& e, const PathData& outline, const Matrix& toDocument,
                                 std::vector<HostSubpath>& subpaths) {
    subpaths.clear();
    subpaths.reserve(outline.subpaths.size());
    for (const Subpath& subpath : outline.subpaths) {
        std::optional<HostSubpath> host = ToHostSubpath(subpath, toDocument);
        if (!host) continue;
        if (host->segments.size() > kMaxHostAnchors) {
            throw SvgError(fileName_ + ": line " + std::to_string(e.line) + ": the <" + std::string(e.name) + "> " +
                           (e.id.empty() ? std::string() : "\"" + std::string(e.id) + "\" ") + "has a subpath of " +
                           std::to_string(host->segments.size()) + " anchors; the host's paths hold at most " +
                           std::to_string(kMaxHostAnchors));
        }
        subpaths.push_back(std::move(*host));
    }
}

std::unique_ptr<Art> Converter::OutlineArt(std::vector<HostSubpath>& subpaths, const PathStyle& style,
                                           const Element* named) {
    const SharedStyle shared = styles_.Intern(style);
    if (subpaths.size() == 1) {
        std::unique_ptr<Art> path = NewArt(kPathArt, named, shared);
        path->segments = std::move(subpaths.front().segments);
        path->closed = subpaths.front().closed;
        return path;
    }
    std::unique_ptr<Art> compound = NewArt(kCompoundPathArt, named, shared);
    for (HostSubpath& subpath : subpaths) {
        std::unique_ptr<Art> member = NewArt(kPathArt, nullptr, shared);
        member->segments = std::move(subpath.segments);
        member->closed = subpath.closed;
        compound->Add(std::move(member));
    }
    return compound;
}

void Converter::ConvertShape(const Element& e, const Scope& scope, Art& parent) {
    PathData& outline = shapeOutline_;
    ShapeOutline(e, scope.viewport, outline);
    if (outline.error) result_.losses.Add("path data with an error (drawn up to it)", Where(e));
    std::vector<HostSubpath>& subpaths = shapeSubpaths_;
    HostSubpathsInto(e, outline, scope.userToDocument, subpaths);
    if (subpaths.empty()) return;
    const LazyOutlineBox box(outline);
    const Matrix& m = scope.userToDocument;

    const ResolvedPaint fill = paints_.Resolve(e, false, box, m, scope.viewport);
    ResolvedPaint stroke = paints_.Resolve(e, true, box, m, scope.viewport);
    const StrokeGeometry geometry = ResolveStroke(e, scope.viewport, m.MeanScale());
    if (!(geometry.width > 0)) stroke.painted = false;
    if (stroke.painted) {
        if (!m.Uniform(1e-6)) result_.losses.Add("stroke of an unevenly stretched shape", Where(e));
        if (geometry.dashesCut) result_.losses.Add("dash pattern of more than 6 dashes (cut to 6)", Where(e));
        if (geometry.roundedJoin) result_.losses.Add("stroke-linejoin miter-clip or arcs (drawn mitred)", Where(e));
    }
    if (e.tag == Tag::kPath || e.tag == Tag::kLine || e.tag == Tag::kPolyline || e.tag == Tag::kPolygon) {
        for (Property marker : {Property::kMarkerStart, Property::kMarkerMid, Property::kMarkerEnd}) {
            if (Set(e.Get(marker))) {
                result_.losses.Add("marker", Referenced(e, e.Get(marker)));
                break;
            }
        }
    }
    ReportEffects(e);

    PathStyle style = DefaultPathStyle();
    style.evenOdd = e.Get(Property::kFillRule) == "evenodd";
    const double opacity = OpacityValue(e.Get(Property::kOpacity));
    const std::string_view visibility = e.Get(Property::kVisibility);
    const bool hidden = visibility == "hidden" || visibility == "collapse";

    auto addFill = [&](PathStyle& s) {
        s.fillPaint = 1;
        s.fill.color = fill.color;
    };
    auto addStroke = [&](PathStyle& s) {
        s.strokePaint = 1;
        s.stroke.color = stroke.color;
        s.stroke.width = geometry.width;
        s.stroke.cap = geometry.cap;
        s.stroke.join = geometry.join;
        s.stroke.miterLimit = geometry.miterLimit;
        s.stroke.dashCount = geometry.dashCount;
        s.stroke.dashOffset = geometry.dashOffset;
        std::copy(std::begin(geometry.dashes), std::end(geometry.dashes), std::begin(s.stroke.dashes));
    };
    std::unique_ptr<Art> art;
    if (fill.painted && stroke.painted && (fill.alpha != 1 || stroke.alpha != 1)) {
        // Fill and stroke of their own opacities: two objects of the same outline, the
        // stroke in front, so that the stroke's overlap with the fill mixes as in SVG.
        art = NewArt(kGroupArt, &e);
        art->opacity = static_cast<HostReal>(opacity);
        PathStyle strokeStyle = style;
        addStroke(strokeStyle);
        std::vector<HostSubpath> strokeSubpaths = subpaths;
        std::unique_ptr<Art> strokeArt = OutlineArt(strokeSubpaths, strokeStyle, nullptr);
        strokeArt->opacity = static_cast<HostReal>(stroke.alpha);
        strokeArt->hidden = hidden;
        addFill(style);
        std::unique_ptr<Art> fillArt = OutlineArt(subpaths, style, nullptr);
        fillArt->opacity = static_cast<HostReal>(fill.alpha);
        fillArt->hidden = hidden;
        art->Add(std::move(strokeArt));
        art->Add(std::move(fillArt));
        drawn_ += 2;
    } else {
        double alpha = 1;
        if (fill.painted) addFill(style), alpha = fill.alpha;
        if (stroke.painted) addStroke(style), alpha = fill.painted ? alpha : stroke.alpha;
        art = OutlineArt(subpaths, style, &e);
        art->opacity = static_cast<HostReal>(opacity * alpha);
        art->hidden = hidden;
        drawn_ += 1;
    }

    if (Set(e.Get(Property::kClipPath))) {
        bool clipsAll = false;
        std::unique_ptr<Art> clip = ClipArt(e, scope.userToDocument, box.Get(), clipsAll);
        if (clipsAll) return;
        if (clip) {
            std::unique_ptr<Art> group = NewArt(kGroupArt, nullptr);
            group->Add(std::move(art));
            AddClip(*group, std::move(clip));
            art = std::move(group);
        }
    }
    parent.Add(std::move(art));
}

std::unique_ptr<Art> Converter::ClipArt(const Element& owner, const Matrix& ownerUser,
                                        const std::optional<Box>& ownerBox, bool& clipsAll) {
    clipsAll = false;
    const std::string_view value = owner.Get(Property::kClipPath);
    const std::string_view id = UrlId(value);
    if (id.empty()) {
        result_.losses.Add("clip-path that is not a reference (a CSS shape)", Where(owner));
        return nullptr;
    }
    const Element* clipPath = tree_.FindById(id);
    if (!clipPath || clipPath->tag != Tag::kClipPath) {
        result_.losses.Add("clip-path reference to a missing clipPath (not clipped)", Where(owner));
        return nullptr;
    }
    Matrix space = ownerUser * ownTransform_(*clipPath);
    if (clipPath->Attribute("clipPathUnits") == "objectBoundingBox") {
        if (!ownerBox || !(ownerBox->Width() > 0) || !(ownerBox->Height() > 0)) {
            clipsAll = true;
            return nullptr;
        }
        space = space * Matrix{ownerBox->Width(), 0, 0, ownerBox->Height(), ownerBox->left, ownerBox->top};
    }
    if (Set(clipPath->Get(Property::kClipPath))) result_.losses.Add("clip-path on a clipPath", Where(*clipPath));

    std::vector<HostSubpath> subpaths;
    std::vector<size_t> firstOfShape;  // where each shape's subpaths begin
    bool evenOdd = false;
    const Viewport viewport = stack_.empty() ? Viewport{} : stack_.back().scope.viewport;
    for (const Element* child : clipPath->children) {
        const Element* shape = child;
        Matrix m = space * ownTransform_(*child);
        if (child->tag == Tag::kUse && !child->children.empty()) {
            const double x = LengthAttribute(*child, "x", LengthAxis::kX, viewport, FontSizeOf(*child)).value_or(0);
            const double y = LengthAttribute(*child, "y", LengthAxis::kY, viewport, FontSizeOf(*child)).value_or(0);
            shape = child->children.front();
            m = m * Matrix::Translate(x, y) * ownTransform_(*shape);
        }
        if (shape->tag == Tag::kText) {
            result_.losses.Add("text in a clipPath", Where(*shape));
            continue;
        }
        if (!IsShape(shape->tag)) continue;
        if (child->Get(Property::kDisplay) == "none" || shape->Get(Property::kDisplay) == "none") continue;
        const std::string_view visibility = shape->Get(Property::kVisibility);
        if (visibility == "hidden" || visibility == "collapse" || !ConditionsPass(*shape)) continue;
        if (Set(shape->Get(Property::kClipPath))) result_.losses.Add("clip-path on a clipPath", Where(*shape));
        firstOfShape.push_back(subpaths.size());
        std::vector<HostSubpath> parts = HostSubpaths(*shape, ShapeOutline(*shape, viewport), m);
        for (HostSubpath& part : parts) subpaths.push_back(std::move(part));
        evenOdd = evenOdd || shape->Get(Property::kClipRule) == "evenodd";
    }
    if (subpaths.empty()) {
        clipsAll = true;
        return nullptr;
    }
    // The export clips even-odd: parts that overlap (of different shapes, or of a non-zero
    // shape) leave holes that SVG does not.
    if (subpaths.size() > 1 && (!evenOdd || firstOfShape.size() > 1)) {
        std::vector<RealRect> boxes;
        for (const HostSubpath& s : subpaths) boxes.push_back(*PathBounds(s.segments, s.closed));
        bool overlap = false;
        const size_t limit = std::min<size_t>(boxes.size(), 256);
        for (size_t i = 0; i < limit && !overlap; ++i) {
            for (size_t j = i + 1; j < limit && !overlap; ++j) {
                overlap = boxes[i].left < boxes[j].right && boxes[j].left < boxes[i].right &&
                          boxes[i].bottom < boxes[j].top && boxes[j].bottom < boxes[i].top;
            }
        }
        if (overlap) result_.losses.Add("overlapping parts of a clipping path (clipped even-odd)", Where(*clipPath));
    }
    PathStyle style = DefaultPathStyle();
    style.clip = 1;
    style.evenOdd = evenOdd;
    return OutlineArt(subpaths, style, clipPath);
}

// The exact bounds of a path mapped by `toUser` (y up, as PathBounds gives them), through a
// scratch list of segments that callers keep from path to path.
std::optional<RealRect> MappedPathBounds(const Art& path, const Matrix& toUser, std::vector<PathSegment>& mapped) {
    const auto map = [&](RealPoint p) {
        const Point q = toUser.Apply({p.h, p.v});
        return RealPoint{static_cast<HostReal>(q.x), static_cast<HostReal>(q.y)};
    };
    mapped.clear();
    for (const PathSegment& s : path.segments) mapped.push_back({map(s.p), map(s.in), map(s.out), s.corner});
    return PathBounds(mapped, path.closed);
}

// True when every path of `root` (clipping paths aside) lies within `limits` in user space.
// Most paths show it by the box of their anchors and handles (the curves lie within their
// points' hull, and the hull of that box's mapped corners holds the mapped hull); only the
// others are measured with their curves' extrema.
bool Converter::ContentWithin(const Art& root, const Matrix& userToDocument, const Box& limits) {
    if (!userToDocument.Invertible()) return true;
    const Matrix toUser = userToDocument.Inverse();
    const auto inside = [&](double left, double top, double right, double bottom) {
        return left >= limits.left && top >= limits.top && right <= limits.right && bottom <= limits.bottom;
    };
    std::vector<const Art*> pending{&root};
    std::vector<PathSegment> mapped;
    while (!pending.empty()) {
        const Art* art = pending.back();
        pending.pop_back();
        if (art->type != kPathArt) {
            for (const auto& child : art->children) pending.push_back(child.get());
            continue;
        }
        if (art->Style().clip || art->segments.empty()) continue;
        double left = HUGE_VAL, bottom = HUGE_VAL, right = -HUGE_VAL, top = -HUGE_VAL;
        bool finite = true;
        for (const PathSegment& s : art->segments) {
            for (const RealPoint& p : {s.p, s.in, s.out}) {
                finite = finite && std::isfinite(p.h) && std::isfinite(p.v);
                left = std::min(left, double(p.h)), right = std::max(right, double(p.h));
                bottom = std::min(bottom, double(p.v)), top = std::max(top, double(p.v));
            }
        }
        if (finite) {
            double userLeft = HUGE_VAL, userTop = HUGE_VAL, userRight = -HUGE_VAL, userBottom = -HUGE_VAL;
            for (const Point corner : {Point{left, bottom}, Point{left, top}, Point{right, bottom}, Point{right, top}}) {
                const Point q = toUser.Apply(corner);
                userLeft = std::min(userLeft, q.x), userRight = std::max(userRight, q.x);
                userTop = std::min(userTop, q.y), userBottom = std::max(userBottom, q.y);
            }
            if (inside(userLeft, userTop, userRight, userBottom)) continue;
        }
        const std::optional<RealRect> r = MappedPathBounds(*art, toUser, mapped);
        // PathBounds has y up: its top is the larger y.
        if (r && !inside(r->left, r->bottom, r->right, r->top)) return false;
    }
    return true;
}

std::optional<Box> Converter::UserBounds(const Art& root, const Matrix& userToDocument) const {
    if (!userToDocument.Invertible()) return std::nullopt;
    const Matrix toUser = userToDocument.Inverse();
    std::optional<Box> box;
    std::vector<const Art*> pending{&root};
    std::vector<PathSegment> mapped;
    while (!pending.empty()) {
        const Art* art = pending.back();
        pending.pop_back();
        if (art->type == kPathArt) {
            if (art->Style().clip) continue;
            const std::optional<RealRect> r = MappedPathBounds(*art, toUser, mapped);
            if (!r) continue;
            // PathBounds has y up: its top is the larger y.
            const Box b{r->left, r->bottom, r->right, r->top};
            if (!box) {
                box = b;
            } else {
                box->left = std::min(box->left, b.left), box->top = std::min(box->top, b.top);
                box->right = std::max(box->right, b.right), box->bottom = std::max(box->bottom, b.bottom);
            }
            continue;
        }
        for (const auto& child : art->children) pending.push_back(child.get());
    }
    return box;
}

}  // namespace

void ConvertTree(const Tree& tree, const std::string& fileName, ReadResult& result) {
    Converter(tree, fileName, result).Run();
}

}  // namespace document::svg
