#include "document/json_loader.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string_view>

#include "document/json_text.h"

namespace document {

namespace {

using Json = nlohmann::json;

constexpr int16_t kNamedTypeCodes[] = {kGroupArt,     kPathArt,   kCompoundPathArt, kPluginArt, kTextFrameArt,
                                       kPlacedArt,    kRasterArt, kMeshArt,         kSymbolArt};
constexpr std::string_view kNamedTypes[] = {"group", "path", "compound", "plugin", "text",
                                            "placed", "raster", "mesh", "symbol"};

// How an art object was written: the keys it may have depend on it, not on its code.
enum class ArtForm { kGroup, kPath, kCompound, kPlugin, kLeaf };

ArtForm FormOfNamedType(std::string_view type) {
    if (type == "group") return ArtForm::kGroup;
    if (type == "path") return ArtForm::kPath;
    if (type == "compound") return ArtForm::kCompound;
    if (type == "plugin") return ArtForm::kPlugin;
    return ArtForm::kLeaf;
}

bool IsIdentifier(const std::string& key) {
    if (key.empty()) return false;
    for (char c : key) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!letter && !(c >= '0' && c <= '9')) return false;
    }
    return !(key[0] >= '0' && key[0] <= '9');
}

std::string TypeName(const Json& value) {
    switch (value.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::boolean: return "a boolean";
        case Json::value_t::string: return "a string";
        case Json::value_t::array: return "an array";
        case Json::value_t::object: return "an object";
        default: return "a number";
    }
}

// An art object still to be read, and where it sits. Kept after reading so that the path of
// any object can be spelled out from its parents.
struct PendingArt {
    const Json* json;
    Art* art;
    size_t parent;        // index of the enclosing pending art, or npos for a layer root
    std::string segment;  // e.g. "layers[0]" or ".children[2]"
    int level;            // 1 for a layer root
    int layerIndex;       // for layer roots, else -1
    bool mustBePath;      // a member of a compound path
    bool mustBeGroup;     // the result art of a plug-in object
    const PathStyle* inheritedStyle;  // a compound's style, for members without their own
};

class Loader {
public:
    Document Load(const Json& root);

private:
    // Path of the value being read: the current art object's path and the keys below it.
    std::string Path() const;
    [[noreturn]] void Fail(const std::string& problem) const;

    class Key {
    public:
        Key(Loader& loader, std::string segment) : loader_(loader) { loader_.local_.push_back(std::move(segment)); }
        ~Key() { loader_.local_.pop_back(); }
        Key(const Key&) = delete;
        Key& operator=(const Key&) = delete;

    private:
        Loader& loader_;
    };
    static std::string Member(const std::string& key) { return IsIdentifier(key) ? "." + key : "[\"" + key + "\"]"; }
    static std::string Index(size_t i) { return "[" + std::to_string(i) + "]"; }

    const Json& Expect(const Json& value, Json::value_t type, const char* expected);
    const Json& ExpectObject(const Json& value, std::initializer_list<std::string_view> allowed);
    const Json* Find(const Json& object, const char* key);
    void RejectUnknownKeys(const Json& object, std::initializer_list<std::string_view> allowed);

    HostReal ReadReal(const Json& value);
    HostReal ReadReal(const Json& object, const char* key, HostReal fallback);
    int64_t ReadWhole(const Json& value, int64_t min, int64_t max);
    bool ReadBool(const Json& object, const char* key, bool fallback);
    RealPoint ReadPoint(const Json& value);
    void ReadReals(const Json& value, size_t count, HostReal* out);

    HostColor ReadColor(const Json& value);
    void ReadGradientFill(const Json& object, HostColor& color);
    PathStyle ReadStyle(const Json& value);
    void ReadStroke(const Json& value, StrokeStyle& stroke);
    int32_t ReadCode(const Json& value, std::initializer_list<std::string_view> names);
    PathSegment ReadSegment(const Json& value);
    void ReadGradient(const Json& value, Gradient& gradient);
    void ReadCustomColor(const Json& value, CustomColor& color);

    void ReadArt(size_t index);
    void ReadCommon(const Json& object, Art& art);
    void ReadChildren(size_t index, const Json& list, bool membersArePaths, const PathStyle* style);

    Document document_;
    std::vector<PendingArt> pending_;
    size_t current_ = std::string::npos;  // pending art being read
    std::vector<std::string> local_;
};

std::string Loader::Path() const {
    std::vector<const std::string*> parts;
    for (size_t i = current_; i != std::string::npos; i = pending_[i].parent) parts.push_back(&pending_[i].segment);
    std::string path;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) path += **it;
    for (const std::string& segment : local_) path += segment;
    if (!path.empty() && path[0] == '.') path.erase(0, 1);
    return path.empty() ? "the document" : path;
}

void Loader::Fail(const std::string& problem) const {
    throw DocumentError(Path() + ": " + problem);
}

const Json& Loader::Expect(const Json& value, Json::value_t type, const char* expected) {
    const bool number = type == Json::value_t::number_float;
    if (number ? !value.is_number() : value.type() != type) Fail(std::string("expected ") + expected + ", found " + TypeName(value));
    return value;
}

const Json& Loader::ExpectObject(const Json& value, std::initializer_list<std::string_view> allowed) {
    Expect(value, Json::value_t::object, "an object");
    RejectUnknownKeys(value, allowed);
    return value;
}

void Loader::RejectUnknownKeys(const Json& object, std::initializer_list<std::string_view> allowed) {
    for (const auto& item : object.items()) {
        bool known = false;
        for (std::string_view key : allowed) known = known || key == item.key();
        if (known) continue;
        std::string list;
        for (std::string_view key : allowed) list += (list.empty() ? "" : ", ") + std::string(key);
        Fail("unknown key \"" + item.key() + "\"" + (list.empty() ? " (no keys are allowed here)" : " (allowed: " + list + ")"));
    }
}

const Json* Loader::Find(const Json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

HostReal Loader::ReadReal(const Json& value) {
    Expect(value, Json::value_t::number_float, "a number");
    const double number = value.get<double>();  // decimal to double, then to the nearest 32-bit real
    if (std::fabs(number) > double(std::numeric_limits<HostReal>::max())) Fail("number too large for a 32-bit real");
    return static_cast<HostReal>(number);
}

HostReal Loader::ReadReal(const Json& object, const char* key, HostReal fallback) {
    const Json* value = Find(object, key);
    if (value == nullptr) return fallback;
    Key scope(*this, Member(key));
    return ReadReal(*value);
}

int64_t Loader::ReadWhole(const Json& value, int64_t min, int64_t max) {
    Expect(value, Json::value_t::number_float, "a whole number");
    double number = 0;
    if (value.is_number_unsigned()) {
        const uint64_t u = value.get<uint64_t>();
        if (u > uint64_t(max)) Fail("number out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")");
        return int64_t(u);
    }
    if (value.is_number_integer()) {
        number = double(value.get<int64_t>());
    } else {
        number = value.get<double>();
        if (number != std::trunc(number)) Fail("expected a whole number, found " + value.dump());
    }
    if (number < double(min) || number > double(max)) {
        Fail("number out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")");
    }
    return int64_t(number);
}

bool Loader::ReadBool(const Json& object, const char* key, bool fallback) {
    const Json* value = Find(object, key);
    if (value == nullptr) return fallback;
    Key scope(*this, Member(key));
    return Expect(*value, Json::value_t::boolean, "true or false").get<bool>();
}

void Loader::ReadReals(const Json& value, size_t count, HostReal* out) {
    Expect(value, Json::value_t::array, "an array");
    if (value.size() != count) Fail("expected " + std::to_string(count) + " numbers, found " + std::to_string(value.size()));
    for (size_t i = 0; i < count; ++i) {
        Key scope(*this, Index(i));
        out[i] = ReadReal(value[i]);
    }
}

RealPoint Loader::ReadPoint(const Json& value) {
    HostReal xy[2];
    ReadReals(value, 2, xy);
    return {xy[0], xy[1]};
}

int32_t Loader::ReadCode(const Json& value, std::initializer_list<std::string_view> names) {
    if (value.is_string()) {
        int32_t code = 0;
        for (std::string_view name : names) {
            if (name == value.get<std::string>()) return code;
            ++code;
        }
        std::string list;
        for (std::string_view name : names) list += (list.empty() ? "\"" : ", \"") + std::string(name) + "\"";
        Fail("unknown value " + value.dump() + " (expected " + list + " or a whole number)");
    }
    if (!value.is_number()) Fail("expected a name or a whole number, found " + TypeName(value));
    return static_cast<int32_t>(ReadWhole(value, INT32_MIN, INT32_MAX));
}

Document Loader::Load(const Json& root) {
    ExpectObject(root, {"layers", "gradients", "customColors"});
    const Json* layers = Find(root, "layers");
    if (layers == nullptr) Fail("missing key \"layers\"");

    // Create every named resource first: colours anywhere may refer to any of them.
    const Json* gradients = Find(root, "gradients");
    const Json* customColors = Find(root, "customColors");
    if (gradients != nullptr) {
        Key scope(*this, ".gradients");
        for (const auto& item : Expect(*gradients, Json::value_t::object, "an object").items()) {
            document_.gradients[item.key()] = std::make_unique<Gradient>();
        }
    }
    if (customColors != nullptr) {
        Key scope(*this, ".customColors");
        for (const auto& item : Expect(*customColors, Json::value_t::object, "an object").items()) {
            document_.customColors[item.key()] = std::make_unique<CustomColor>();
        }
    }
    if (gradients != nullptr) {
        for (const auto& item : gradients->items()) {
            Key scope(*this, ".gradients" + Member(item.key()));
            ReadGradient(item.value(), *document_.gradients[item.key()]);
        }
    }
    if (customColors != nullptr) {
        for (const auto& item : customColors->items()) {
            Key scope(*this, ".customColors" + Member(item.key()));
            ReadCustomColor(item.value(), *document_.customColors[item.key()]);
        }
    }

    {
        Key scope(*this, ".layers");
        Expect(*layers, Json::value_t::array, "an array");
    }
    for (size_t i = 0; i < layers->size(); ++i) {
        document_.layers.push_back(std::make_unique<Art>());
        pending_.push_back({&(*layers)[i], document_.layers.back().get(), std::string::npos,
                            "layers" + Index(i), 1, static_cast<int>(i), false, false, nullptr});
    }
    // Breadth first, with an explicit queue: trees may be very deep.
    for (size_t index = 0; index < pending_.size(); ++index) ReadArt(index);
    current_ = std::string::npos;

    document_.Link();
    return std::move(document_);
}

void Loader::ReadGradient(const Json& value, Gradient& gradient) {
    ExpectObject(value, {"type", "stops"});
    if (const Json* type = Find(value, "type")) {
        Key scope(*this, ".type");
        const int32_t code = ReadCode(*type, {"linear", "radial"});
        if (code < INT16_MIN || code > INT16_MAX) Fail("gradient type out of range (-32768 to 32767)");
        gradient.type = static_cast<int16_t>(code);
    }
    const Json* stops = Find(value, "stops");
    if (stops == nullptr) return;
    Key scope(*this, ".stops");
    Expect(*stops, Json::value_t::array, "an array");
    if (stops->size() > size_t(INT16_MAX)) Fail("more than 32767 gradient stops");
    for (size_t i = 0; i < stops->size(); ++i) {
        Key stopScope(*this, Index(i));
        const Json& stop = ExpectObject((*stops)[i], {"position", "midpoint", "color"});
        if (Find(stop, "position") == nullptr) Fail("missing key \"position\"");
        if (Find(stop, "color") == nullptr) Fail("missing key \"color\"");
        GradientStop result{};
        result.position = ReadReal(stop, "position", 0.0f);
        result.midpoint = ReadReal(stop, "midpoint", 50.0f);
        Key colorScope(*this, ".color");
        result.color = ReadColor(stop["color"]);
        gradient.stops.push_back(result);
    }
}

void Loader::ReadCustomColor(const Json& value, CustomColor& color) {
    ExpectObject(value, {"cmyk", "rgb", "kind"});
    if (value.size() != 1) Fail("expected exactly one of \"cmyk\", \"rgb\" or \"kind\"");
    CustomColorDefinition& definition = color.definition;
    definition = {};
    if (const Json* cmyk = Find(value, "cmyk")) {
        Key scope(*this, ".cmyk");
        definition.kind = kCustomFourColor;
        HostReal c[4];
        ReadReals(*cmyk, 4, c);
        definition.c.cmyk = {c[0], c[1], c[2], c[3]};
    } else if (const Json* rgb = Find(value, "rgb")) {
        Key scope(*this, ".rgb");
        definition.kind = kCustomThreeColor;
        HostReal c[3];
        ReadReals(*rgb, 3, c);
        definition.c.rgb = {c[0], c[1], c[2]};
    } else {
        Key scope(*this, ".kind");
        definition.kind = static_cast<int32_t>(ReadWhole(value["kind"], INT32_MIN, INT32_MAX));
    }
}

HostColor Loader::ReadColor(const Json& value) {
    HostColor color{};
    if (value.is_string()) {
        if (value.get<std::string>() != "none") Fail("unknown colour " + value.dump() + " (the only named colour is \"none\")");
        color.kind = kNoneColor;
        return color;
    }
    if (!value.is_object()) Fail("expected a colour (\"none\" or an object), found " + TypeName(value));
    static constexpr const char* kKinds[] = {"gray", "cmyk", "rgb", "custom", "pattern", "gradient", "kind"};
    const char* kind = nullptr;
    for (const char* candidate : kKinds) {
        if (Find(value, candidate) == nullptr) continue;
        if (kind != nullptr) Fail(std::string("a colour has one kind; found both \"") + kind + "\" and \"" + candidate + "\"");
        kind = candidate;
    }
    if (kind == nullptr) Fail("expected a colour: an object with \"gray\", \"cmyk\", \"rgb\", \"custom\", \"pattern\", \"gradient\" or \"kind\"");
    const std::string_view which = kind;
    if (which == "gray") {
        ExpectObject(value, {"gray"});
        color.kind = kGrayColor;
        color.c.gray.gray = ReadReal(value, "gray", 0.0f);
    } else if (which == "cmyk") {
        ExpectObject(value, {"cmyk"});
        Key scope(*this, ".cmyk");
        HostReal c[4];
        ReadReals(value["cmyk"], 4, c);
        color.kind = kFourColor;
        color.c.cmyk = {c[0], c[1], c[2], c[3]};
    } else if (which == "rgb") {
        ExpectObject(value, {"rgb"});
        Key scope(*this, ".rgb");
        HostReal c[3];
        ReadReals(value["rgb"], 3, c);
        color.kind = kThreeColor;
        color.c.rgb = {c[0], c[1], c[2]};
    } else if (which == "custom") {
        ExpectObject(value, {"custom", "tint"});
        color.kind = kCustomColor;
        color.c.custom.tint = ReadReal(value, "tint", 0.0f);
        Key scope(*this, ".custom");
        const std::string name = Expect(value["custom"], Json::value_t::string, "a custom colour's name").get<std::string>();
        auto it = document_.customColors.find(name);
        if (it == document_.customColors.end()) Fail("unknown custom colour \"" + name + "\" (not in \"customColors\")");
        color.c.custom.color = reinterpret_cast<CustomColorHandle>(it->second.get());
    } else if (which == "pattern") {
        ExpectObject(value, {"pattern"});
        Key scope(*this, ".pattern");
        const std::string name = Expect(value["pattern"], Json::value_t::string, "a pattern's name").get<std::string>();
        auto& pattern = document_.patterns[name];
        if (!pattern) pattern = std::make_unique<Pattern>(Pattern{name});
        color.kind = kPatternColor;
        color.c.pattern.pattern = reinterpret_cast<PatternHandle>(pattern.get());
    } else if (which == "gradient") {
        ExpectObject(value, {"gradient", "origin", "angle", "length", "matrix", "hiliteAngle", "hiliteLength"});
        ReadGradientFill(value, color);
    } else {
        ExpectObject(value, {"kind"});
        Key scope(*this, ".kind");
        color.kind = static_cast<int32_t>(ReadWhole(value["kind"], INT32_MIN, INT32_MAX));
    }
    return color;
}

void Loader::ReadGradientFill(const Json& value, HostColor& color) {
    color.kind = kGradientColor;
    GradientFill& fill = color.c.gradient;
    {
        Key scope(*this, ".gradient");
        const std::string name = Expect(value["gradient"], Json::value_t::string, "a gradient's name").get<std::string>();
        auto it = document_.gradients.find(name);
        if (it == document_.gradients.end()) Fail("unknown gradient \"" + name + "\" (not in \"gradients\")");
        fill.gradient = reinterpret_cast<GradientHandle>(it->second.get());
    }
    fill.origin = {0.0f, 0.0f};
    if (const Json* origin = Find(value, "origin")) {
        Key scope(*this, ".origin");
        fill.origin = ReadPoint(*origin);
    }
    fill.angle = ReadReal(value, "angle", 0.0f);
    fill.length = ReadReal(value, "length", 100.0f);
    fill.matrix = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    if (const Json* matrix = Find(value, "matrix")) {
        Key scope(*this, ".matrix");
        HostReal m[6];
        ReadReals(*matrix, 6, m);
        fill.matrix = {m[0], m[1], m[2], m[3], m[4], m[5]};
    }
    fill.hiliteAngle = ReadReal(value, "hiliteAngle", 0.0f);
    fill.hiliteLength = ReadReal(value, "hiliteLength", 0.0f);
}

PathStyle Loader::ReadStyle(const Json& value) {
    ExpectObject(value, {"fill", "fillPaint", "stroke", "strokePaint", "clip", "evenOdd"});
    PathStyle style = DefaultPathStyle();
    if (const Json* fill = Find(value, "fill")) {
        Key scope(*this, ".fill");
        style.fill.color = ReadColor(*fill);
        style.fillPaint = style.fill.color.kind != kNoneColor;
    }
    style.fillPaint = ReadBool(value, "fillPaint", style.fillPaint != 0);
    if (const Json* stroke = Find(value, "stroke")) {
        Key scope(*this, ".stroke");
        ReadStroke(*stroke, style.stroke);
        style.strokePaint = true;
    }
    style.strokePaint = ReadBool(value, "strokePaint", style.strokePaint != 0);
    style.clip = ReadBool(value, "clip", false);
    style.evenOdd = ReadBool(value, "evenOdd", false);
    return style;
}

void Loader::ReadStroke(const Json& value, StrokeStyle& stroke) {
    ExpectObject(value, {"color", "width", "dashes", "dashOffset", "cap", "join", "miterLimit"});
    if (const Json* color = Find(value, "color")) {
        Key scope(*this, ".color");
        stroke.color = ReadColor(*color);
    }
    stroke.width = ReadReal(value, "width", 1.0f);
    if (const Json* dashes = Find(value, "dashes")) {
        Key scope(*this, ".dashes");
        Expect(*dashes, Json::value_t::array, "an array of dash lengths");
        if (dashes->size() > size_t(kMaxDashes)) {
            Fail("at most " + std::to_string(kMaxDashes) + " dash lengths, found " + std::to_string(dashes->size()));
        }
        for (size_t i = 0; i < dashes->size(); ++i) {
            Key dashScope(*this, Index(i));
            stroke.dashes[i] = ReadReal((*dashes)[i]);
        }
        stroke.dashCount = static_cast<int16_t>(dashes->size());
    }
    stroke.dashOffset = ReadReal(value, "dashOffset", 0.0f);
    if (const Json* cap = Find(value, "cap")) {
        Key scope(*this, ".cap");
        stroke.cap = ReadCode(*cap, {"butt", "round", "square"});
    }
    if (const Json* join = Find(value, "join")) {
        Key scope(*this, ".join");
        stroke.join = ReadCode(*join, {"miter", "round", "bevel"});
    }
    stroke.miterLimit = ReadReal(value, "miterLimit", 4.0f);
}

PathSegment Loader::ReadSegment(const Json& value) {
    PathSegment segment{};
    segment.corner = 1;
    if (value.is_array()) {
        segment.p = ReadPoint(value);
        segment.in = segment.out = segment.p;
        return segment;
    }
    if (!value.is_object()) Fail("expected a segment ([x, y] or an object with \"anchor\"), found " + TypeName(value));
    ExpectObject(value, {"anchor", "in", "out", "corner"});
    const Json* anchor = Find(value, "anchor");
    if (anchor == nullptr) Fail("missing key \"anchor\"");
    {
        Key scope(*this, ".anchor");
        segment.p = ReadPoint(*anchor);
    }
    segment.in = segment.out = segment.p;
    if (const Json* in = Find(value, "in")) {
        Key scope(*this, ".in");
        segment.in = ReadPoint(*in);
    }
    if (const Json* out = Find(value, "out")) {
        Key scope(*this, ".out");
        segment.out = ReadPoint(*out);
    }
    segment.corner = ReadBool(value, "corner", true) ? 1 : 0;
    return segment;
}

void Loader::ReadCommon(const Json& object, Art& art) {
    if (const Json* name = Find(object, "name")) {
        Key scope(*this, ".name");
        art.name = Expect(*name, Json::value_t::string, "a string").get<std::string>();
        art.defaultName = false;
    }
    art.opacity = ReadReal(object, "opacity", 1.0f);
    art.hidden = ReadBool(object, "hidden", false);
    if (const Json* bounds = Find(object, "bounds")) {
        Key scope(*this, ".bounds");
        HostReal b[4];
        ReadReals(*bounds, 4, b);
        art.bounds = RealRect{b[0], b[1], b[2], b[3]};
    }
}

void Loader::ReadChildren(size_t index, const Json& list, bool membersArePaths, const PathStyle* style) {
    Expect(list, Json::value_t::array, "an array of art objects");
    if (pending_[index].level >= kMaxArtLevels) {
        Fail("art nested more than " + std::to_string(kMaxArtLevels) + " levels deep");
    }
    Art* parent = pending_[index].art;
    for (size_t i = 0; i < list.size(); ++i) {
        Art* child = parent->Add(std::make_unique<Art>());
        pending_.push_back({&list[i], child, index, ".children" + Index(i), pending_[index].level + 1, -1,
                            membersArePaths, false, style});
    }
}

void Loader::ReadArt(size_t index) {
    current_ = index;
    const Json& object = *pending_[index].json;
    Art& art = *pending_[index].art;
    Expect(object, Json::value_t::object, "an art object");
    const Json* type = Find(object, "type");
    if (type == nullptr) Fail("missing key \"type\"");

    ArtForm form = ArtForm::kLeaf;
    if (type->is_string()) {
        const std::string name = type->get<std::string>();
        size_t i = 0;
        while (i < std::size(kNamedTypes) && kNamedTypes[i] != name) ++i;
        if (i == std::size(kNamedTypes)) {
            Key scope(*this, ".type");
            Fail("unknown art type \"" + name + "\" (expected group, path, compound, plugin, text, placed, raster, "
                 "mesh, symbol or a whole number)");
        }
        art.type = kNamedTypeCodes[i];
        form = FormOfNamedType(name);
    } else {
        Key scope(*this, ".type");
        if (!type->is_number()) Fail("expected an art type name or a whole number, found " + TypeName(*type));
        art.type = static_cast<int16_t>(ReadWhole(*type, INT16_MIN, INT16_MAX));
    }
    if (pending_[index].mustBePath && form != ArtForm::kPath) Fail("a compound path's members must be paths");
    if (pending_[index].mustBeGroup && form != ArtForm::kGroup) Fail("a plug-in object's result art must be a group");

    const std::initializer_list<std::string_view> common = {"type", "name", "opacity", "hidden", "bounds"};
    std::vector<std::string_view> allowed(common);
    switch (form) {
        case ArtForm::kGroup: allowed.insert(allowed.end(), {"children"}); break;
        case ArtForm::kPath: allowed.insert(allowed.end(), {"segments", "closed", "guide", "style"}); break;
        case ArtForm::kCompound: allowed.insert(allowed.end(), {"children", "guide", "style"}); break;
        case ArtForm::kPlugin: allowed.insert(allowed.end(), {"pluginName", "style", "result"}); break;
        case ArtForm::kLeaf: break;
    }
    for (const auto& item : object.items()) {
        if (std::find(allowed.begin(), allowed.end(), item.key()) != allowed.end()) continue;
        Fail("unknown key \"" + item.key() + "\" for art of type " + type->dump());
    }

    const int layerIndex = pending_[index].layerIndex;
    art.name = layerIndex >= 0 ? "Layer " + std::to_string(layerIndex + 1) : DefaultArtName(art.type);
    art.defaultName = true;
    ReadCommon(object, art);

    if (const Json* style = Find(object, "style")) {
        Key scope(*this, ".style");
        art.style = ReadStyle(*style);
    } else if (pending_[index].inheritedStyle != nullptr) {
        art.style = *pending_[index].inheritedStyle;
    }
    art.guide = ReadBool(object, "guide", false);

    switch (form) {
        case ArtForm::kGroup:
            if (const Json* children = Find(object, "children")) {
                Key scope(*this, ".children");
                ReadChildren(index, *children, false, nullptr);
            }
            break;
        case ArtForm::kPath: {
            const Json* segments = Find(object, "segments");
            if (segments == nullptr) Fail("missing key \"segments\"");
            art.closed = ReadBool(object, "closed", false);
            Key scope(*this, ".segments");
            Expect(*segments, Json::value_t::array, "an array of segments");
            if (segments->size() > kMaxSegments) {
                Fail("a path has at most " + std::to_string(kMaxSegments) + " segments, found " +
                     std::to_string(segments->size()));
            }
            art.segments.reserve(segments->size());
            for (size_t i = 0; i < segments->size(); ++i) {
                Key segmentScope(*this, Index(i));
                art.segments.push_back(ReadSegment((*segments)[i]));
            }
            break;
        }
        case ArtForm::kCompound: {
            const Json* children = Find(object, "children");
            if (children == nullptr) Fail("missing key \"children\"");
            Key scope(*this, ".children");
            ReadChildren(index, *children, true, Find(object, "style") != nullptr ? &art.style : nullptr);
            break;
        }
        case ArtForm::kPlugin: {
            const Json* pluginName = Find(object, "pluginName");
            if (pluginName == nullptr) Fail("missing key \"pluginName\"");
            {
                Key scope(*this, ".pluginName");
                art.pluginName = Expect(*pluginName, Json::value_t::string, "a string").get<std::string>();
            }
            art.result = std::make_unique<Art>();
            art.result->type = kGroupArt;
            art.result->name = DefaultArtName(kGroupArt);
            art.result->defaultName = true;
            if (const Json* result = Find(object, "result")) {
                if (pending_[index].level >= kMaxArtLevels) {
                    Fail("art nested more than " + std::to_string(kMaxArtLevels) + " levels deep");
                }
                pending_.push_back({result, art.result.get(), index, ".result", pending_[index].level + 1, -1, false,
                                    true, nullptr});
            }
            break;
        }
        case ArtForm::kLeaf: break;
    }
}

}  // namespace

Document LoadDocument(const std::string& jsonText) {
    const Json root = ParseJsonText(jsonText, kMaxJsonNesting);
    return Loader().Load(root);
}

Document LoadDocumentFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw DocumentError(path + ": cannot open the file");
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) throw DocumentError(path + ": cannot read the file");
    try {
        return LoadDocument(text.str());
    } catch (const DocumentError& error) {
        throw DocumentError(path + ": " + error.what());
    }
}

}  // namespace document
