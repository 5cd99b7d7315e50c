#include "document/json_value_reader.h"

#include <cmath>

#include "document/host_real_range.h"
#include "document/json_loader.h"

namespace document {

namespace {

bool IsIdentifier(const std::string& key) {
    if (key.empty()) return false;
    for (char c : key) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!letter && !(c >= '0' && c <= '9')) return false;
    }
    return !(key[0] >= '0' && key[0] <= '9');
}

}  // namespace

std::string ValueReader::Member(const std::string& key) {
    return IsIdentifier(key) ? "." + key : "[\"" + key + "\"]";
}

std::string ValueReader::TypeName(const Json& value) {
    switch (value.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::boolean: return "a boolean";
        case Json::value_t::string: return "a string";
        case Json::value_t::array: return "an array";
        case Json::value_t::object: return "an object";
        default: return "a number";
    }
}

std::string ValueReader::Path() const {
    std::string path = ArtPath();
    for (const std::string& segment : local_) path += segment;
    if (!path.empty() && path[0] == '.') path.erase(0, 1);
    return path.empty() ? "the document" : path;
}

void ValueReader::Fail(const std::string& problem) const {
    throw DocumentError(Path() + ": " + problem);
}

const ValueReader::Json& ValueReader::Expect(const Json& value, Json::value_t type, const char* expected) {
    const bool number = type == Json::value_t::number_float;
    if (number ? !value.is_number() : value.type() != type) Fail(std::string("expected ") + expected + ", found " + TypeName(value));
    return value;
}

const ValueReader::Json& ValueReader::ExpectObject(const Json& value, std::initializer_list<std::string_view> allowed) {
    Expect(value, Json::value_t::object, "an object");
    RejectUnknownKeys(value, allowed);
    return value;
}

void ValueReader::RejectUnknownKeys(const Json& object, std::initializer_list<std::string_view> allowed) {
    for (const auto& item : object.items()) {
        bool known = false;
        for (std::string_view key : allowed) known = known || key == item.key();
        if (known) continue;
        std::string list;
        for (std::string_view key : allowed) list += (list.empty() ? "" : ", ") + std::string(key);
        Fail("unknown key \"" + item.key() + "\"" + (list.empty() ? " (no keys are allowed here)" : " (allowed: " + list + ")"));
    }
}

const ValueReader::Json* ValueReader::Find(const Json& object, const char* key) {
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

Gradient& ValueReader::GradientNamed(const std::string& name) {
    auto& gradient = document_.gradients[name];
    if (!gradient) {
        gradient = std::make_unique<Gradient>();
        unresolvedGradients_[name] = Path() + ": unknown gradient \"" + name + "\" (not in \"gradients\")";
    }
    return *gradient;
}

CustomColor& ValueReader::CustomColorNamed(const std::string& name) {
    auto& color = document_.customColors[name];
    if (!color) {
        color = std::make_unique<CustomColor>();
        unresolvedCustomColors_[name] = Path() + ": unknown custom colour \"" + name + "\" (not in \"customColors\")";
    }
    return *color;
}

void ValueReader::ReadGradients(const Json& value) {
    {
        PathScope scope(*this, ".gradients");
        Expect(value, Json::value_t::object, "an object");
    }
    // Every name first: stops may name any gradient of the list.
    for (const auto& item : value.items()) {
        auto& gradient = document_.gradients[item.key()];
        if (!gradient) gradient = std::make_unique<Gradient>();
        unresolvedGradients_.erase(item.key());
    }
    for (const auto& item : value.items()) {
        PathScope scope(*this, ".gradients" + Member(item.key()));
        Gradient& gradient = *document_.gradients[item.key()];
        gradient = Gradient();
        ReadGradient(item.value(), gradient);
    }
}

void ValueReader::ReadCustomColors(const Json& value) {
    {
        PathScope scope(*this, ".customColors");
        Expect(value, Json::value_t::object, "an object");
    }
    for (const auto& item : value.items()) {
        auto& color = document_.customColors[item.key()];
        if (!color) color = std::make_unique<CustomColor>();
        unresolvedCustomColors_.erase(item.key());
        PathScope scope(*this, ".customColors" + Member(item.key()));
        ReadCustomColor(item.value(), *color);
    }
}

void ValueReader::CheckNamesResolved() {
    if (!unresolvedGradients_.empty()) throw DocumentError(unresolvedGradients_.begin()->second);
    if (!unresolvedCustomColors_.empty()) throw DocumentError(unresolvedCustomColors_.begin()->second);
}

HostReal ValueReader::ReadReal(const Json& value) {
    Expect(value, Json::value_t::number_float, "a number");
    const double number = value.get<double>();  // decimal to double, then to the nearest 32-bit real
    if (!RoundsToFiniteReal(number)) Fail("number too large for a 32-bit real");
    return static_cast<HostReal>(number);
}

HostReal ValueReader::ReadReal(const Json& object, const char* key, HostReal fallback) {
    const Json* value = Find(object, key);
    if (value == nullptr) return fallback;
    PathScope scope(*this, Member(key));
    return ReadReal(*value);
}

int64_t ValueReader::ReadWhole(const Json& value, int64_t min, int64_t max) {
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

bool ValueReader::ReadBool(const Json& object, const char* key, bool fallback) {
    const Json* value = Find(object, key);
    if (value == nullptr) return fallback;
    PathScope scope(*this, Member(key));
    return Expect(*value, Json::value_t::boolean, "true or false").get<bool>();
}

void ValueReader::ReadReals(const Json& value, size_t count, HostReal* out) {
    Expect(value, Json::value_t::array, "an array");
    if (value.size() != count) Fail("expected " + std::to_string(count) + " numbers, found " + std::to_string(value.size()));
    for (size_t i = 0; i < count; ++i) {
        PathScope scope(*this, Index(i));
        out[i] = ReadReal(value[i]);
    }
}

RealPoint ValueReader::ReadPoint(const Json& value) {
    HostReal xy[2];
    ReadReals(value, 2, xy);
    return {xy[0], xy[1]};
}

int32_t ValueReader::ReadCode(const Json& value, std::initializer_list<std::string_view> names) {
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

void ValueReader::ReadGradient(const Json& value, Gradient& gradient) {
    ExpectObject(value, {"type", "stops"});
    if (const Json* type = Find(value, "type")) {
        PathScope scope(*this, ".type");
        const int32_t code = ReadCode(*type, {"linear", "radial"});
        if (code < INT16_MIN || code > INT16_MAX) Fail("gradient type out of range (-32768 to 32767)");
        gradient.type = static_cast<int16_t>(code);
    }
    const Json* stops = Find(value, "stops");
    if (stops == nullptr) return;
    PathScope scope(*this, ".stops");
    Expect(*stops, Json::value_t::array, "an array");
    if (stops->size() > size_t(INT16_MAX)) Fail("more than 32767 gradient stops");
    for (size_t i = 0; i < stops->size(); ++i) {
        PathScope stopScope(*this, Index(i));
        const Json& stop = ExpectObject((*stops)[i], {"position", "midpoint", "color"});
        if (Find(stop, "position") == nullptr) Fail("missing key \"position\"");
        if (Find(stop, "color") == nullptr) Fail("missing key \"color\"");
        GradientStop result{};
        result.position = ReadReal(stop, "position", 0.0f);
        result.midpoint = ReadReal(stop, "midpoint", 50.0f);
        PathScope colorScope(*this, ".color");
        result.color = ReadColor(stop["color"]);
        gradient.stops.push_back(result);
    }
}

void ValueReader::ReadCustomColor(const Json& value, CustomColor& color) {
    ExpectObject(value, {"cmyk", "rgb", "kind"});
    if (value.size() != 1) Fail("expected exactly one of \"cmyk\", \"rgb\" or \"kind\"");
    CustomColorDefinition& definition = color.definition;
    definition = {};
    if (const Json* cmyk = Find(value, "cmyk")) {
        PathScope scope(*this, ".cmyk");
        definition.kind = kCustomFourColor;
        HostReal c[4];
        ReadReals(*cmyk, 4, c);
        definition.c.cmyk = {c[0], c[1], c[2], c[3]};
    } else if (const Json* rgb = Find(value, "rgb")) {
        PathScope scope(*this, ".rgb");
        definition.kind = kCustomThreeColor;
        HostReal c[3];
        ReadReals(*rgb, 3, c);
        definition.c.rgb = {c[0], c[1], c[2]};
    } else {
        PathScope scope(*this, ".kind");
        definition.kind = static_cast<int32_t>(ReadWhole(value["kind"], INT32_MIN, INT32_MAX));
    }
}

HostColor ValueReader::ReadColor(const Json& value) {
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
        PathScope scope(*this, ".cmyk");
        HostReal c[4];
        ReadReals(value["cmyk"], 4, c);
        color.kind = kFourColor;
        color.c.cmyk = {c[0], c[1], c[2], c[3]};
    } else if (which == "rgb") {
        ExpectObject(value, {"rgb"});
        PathScope scope(*this, ".rgb");
        HostReal c[3];
        ReadReals(value["rgb"], 3, c);
        color.kind = kThreeColor;
        color.c.rgb = {c[0], c[1], c[2]};
    } else if (which == "custom") {
        ExpectObject(value, {"custom", "tint"});
        color.kind = kCustomColor;
        color.c.custom.tint = ReadReal(value, "tint", 0.0f);
        PathScope scope(*this, ".custom");
        const std::string name = Expect(value["custom"], Json::value_t::string, "a custom colour's name").get<std::string>();
        color.c.custom.color = reinterpret_cast<CustomColorHandle>(&CustomColorNamed(name));
    } else if (which == "pattern") {
        ExpectObject(value, {"pattern"});
        PathScope scope(*this, ".pattern");
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
        PathScope scope(*this, ".kind");
        color.kind = static_cast<int32_t>(ReadWhole(value["kind"], INT32_MIN, INT32_MAX));
    }
    return color;
}

void ValueReader::ReadGradientFill(const Json& value, HostColor& color) {
    color.kind = kGradientColor;
    GradientFill& fill = color.c.gradient;
    {
        PathScope scope(*this, ".gradient");
        const std::string name = Expect(value["gradient"], Json::value_t::string, "a gradient's name").get<std::string>();
        fill.gradient = reinterpret_cast<GradientHandle>(&GradientNamed(name));
    }
    fill.origin = {0.0f, 0.0f};
    if (const Json* origin = Find(value, "origin")) {
        PathScope scope(*this, ".origin");
        fill.origin = ReadPoint(*origin);
    }
    fill.angle = ReadReal(value, "angle", 0.0f);
    fill.length = ReadReal(value, "length", 100.0f);
    fill.matrix = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    if (const Json* matrix = Find(value, "matrix")) {
        PathScope scope(*this, ".matrix");
        HostReal m[6];
        ReadReals(*matrix, 6, m);
        fill.matrix = {m[0], m[1], m[2], m[3], m[4], m[5]};
    }
    fill.hiliteAngle = ReadReal(value, "hiliteAngle", 0.0f);
    fill.hiliteLength = ReadReal(value, "hiliteLength", 0.0f);
}

PathStyle ValueReader::ReadStyle(const Json& value) {
    ExpectObject(value, {"fill", "fillPaint", "stroke", "strokePaint", "clip", "evenOdd"});
    PathStyle style = DefaultPathStyle();
    if (const Json* fill = Find(value, "fill")) {
        PathScope scope(*this, ".fill");
        style.fill.color = ReadColor(*fill);
        style.fillPaint = style.fill.color.kind != kNoneColor;
    }
    style.fillPaint = ReadBool(value, "fillPaint", style.fillPaint != 0);
    if (const Json* stroke = Find(value, "stroke")) {
        PathScope scope(*this, ".stroke");
        ReadStroke(*stroke, style.stroke);
        style.strokePaint = true;
    }
    style.strokePaint = ReadBool(value, "strokePaint", style.strokePaint != 0);
    style.clip = ReadBool(value, "clip", false);
    style.evenOdd = ReadBool(value, "evenOdd", false);
    return style;
}

void ValueReader::ReadStroke(const Json& value, StrokeStyle& stroke) {
    ExpectObject(value, {"color", "width", "dashes", "dashOffset", "cap", "join", "miterLimit"});
    if (const Json* color = Find(value, "color")) {
        PathScope scope(*this, ".color");
        stroke.color = ReadColor(*color);
    }
    stroke.width = ReadReal(value, "width", 1.0f);
    if (const Json* dashes = Find(value, "dashes")) {
        PathScope scope(*this, ".dashes");
        Expect(*dashes, Json::value_t::array, "an array of dash lengths");
        if (dashes->size() > size_t(kMaxDashes)) {
            Fail("at most " + std::to_string(kMaxDashes) + " dash lengths, found " + std::to_string(dashes->size()));
        }
        for (size_t i = 0; i < dashes->size(); ++i) {
            PathScope dashScope(*this, Index(i));
            stroke.dashes[i] = ReadReal((*dashes)[i]);
        }
        stroke.dashCount = static_cast<int16_t>(dashes->size());
    }
    stroke.dashOffset = ReadReal(value, "dashOffset", 0.0f);
    if (const Json* cap = Find(value, "cap")) {
        PathScope scope(*this, ".cap");
        stroke.cap = ReadCode(*cap, {"butt", "round", "square"});
    }
    if (const Json* join = Find(value, "join")) {
        PathScope scope(*this, ".join");
        stroke.join = ReadCode(*join, {"miter", "round", "bevel"});
    }
    stroke.miterLimit = ReadReal(value, "miterLimit", 4.0f);
}

PathSegment ValueReader::ReadSegment(const Json& value) {
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
        PathScope scope(*this, ".anchor");
        segment.p = ReadPoint(*anchor);
    }
    segment.in = segment.out = segment.p;
    if (const Json* in = Find(value, "in")) {
        PathScope scope(*this, ".in");
        segment.in = ReadPoint(*in);
    }
    if (const Json* out = Find(value, "out")) {
        PathScope scope(*this, ".out");
        segment.out = ReadPoint(*out);
    }
    segment.corner = ReadBool(value, "corner", true) ? 1 : 0;
    return segment;
}

void ValueReader::ReadCommon(const Json& object, Art& art) {
    if (const Json* name = Find(object, "name")) {
        PathScope scope(*this, ".name");
        art.name = Expect(*name, Json::value_t::string, "a string").get<std::string>();
        art.defaultName = false;
    }
    art.opacity = ReadReal(object, "opacity", 1.0f);
    art.hidden = ReadBool(object, "hidden", false);
    if (const Json* bounds = Find(object, "bounds")) {
        PathScope scope(*this, ".bounds");
        HostReal b[4];
        ReadReals(*bounds, 4, b);
        art.bounds = RealRect{b[0], b[1], b[2], b[3]};
    }
}

}  // namespace document
