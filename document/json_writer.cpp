#include "document/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "document/host_real_range.h"

namespace document {

namespace {

// Indentation stops growing below this many levels: a tree may be 32767 levels deep, and
// indenting each level would make the text quadratic in the depth.
constexpr int kMaxIndent = 32;

bool SameBits(HostReal a, HostReal b) {
    uint32_t x = 0;
    uint32_t y = 0;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

bool SamePoint(const RealPoint& a, const RealPoint& b) {
    return SameBits(a.h, b.h) && SameBits(a.v, b.v);
}

// The shortest decimal that the loader reads back to the same 32-bit value. The loader reads a
// double and rounds it; where the shortest float text would not survive that (it may round
// twice the wrong way), the float's exact double value is written instead.
std::string Number(HostReal value) {
    if (!std::isfinite(value)) {
        throw std::invalid_argument("the document holds a number that JSON cannot write (" +
                                    std::string(std::isnan(value) ? "not a number" : "infinite") + ")");
    }
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double readBack = 0;
    std::from_chars(text, written.ptr, readBack);
    if (RoundsToFiniteReal(readBack) && SameBits(static_cast<HostReal>(readBack), value)) {
        return std::string(text, written.ptr);
    }
    const auto exact = std::to_chars(text, text + sizeof text, double(value));
    return std::string(text, exact.ptr);
}

// Length of the UTF-8 sequence that starts at `i`, or 0 when it is not well formed
// (overlong forms, surrogates and code points past U+10FFFF are refused, as the loader's
// parser refuses them).
size_t Utf8SequenceLength(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return k < text.size() ? uint8_t(text[k]) : uint8_t(0); };
    const uint8_t lead = byte(i);
    const auto continuation = [&](size_t k) { return (byte(k) & 0xC0) == 0x80; };
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return continuation(i + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const uint8_t second = byte(i + 1);
        if (lead == 0xE0 && second < 0xA0) return 0;
        if (lead == 0xED && second > 0x9F) return 0;
        return continuation(i + 1) && continuation(i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const uint8_t second = byte(i + 1);
        if (lead == 0xF0 && second < 0x90) return 0;
        if (lead == 0xF4 && second > 0x8F) return 0;
        return continuation(i + 1) && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
    }
    return 0;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8SequenceLength(text, i);
        if (length == 0) throw std::invalid_argument("the name \"" + text + "\" is not valid UTF-8");
        if (length > 1) {
            out.append(text, i, length);  // names reach the output byte for byte
            i += length;
            continue;
        }
        const char c = text[i++];
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (uint8_t(c) < 0x20) {
                    static constexpr char kHex[] = "0123456789abcdef";
                    out += "\\u00";
                    out += kHex[uint8_t(c) >> 4];
                    out += kHex[uint8_t(c) & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string Numbers(std::initializer_list<HostReal> values) {
    std::string out = "[";
    for (HostReal value : values) out += (out.size() > 1 ? ", " : "") + Number(value);
    return out + "]";
}

// A code written by its name where it has one, else as the number.
std::string Code(int32_t code, std::initializer_list<const char*> names) {
    if (code >= 0 && size_t(code) < names.size()) return Quoted(names.begin()[code]);
    return std::to_string(code);
}

// Collects "key": value pairs into one object on one line.
class InlineObject {
public:
    void Add(const char* key, const std::string& value) {
        text_ += (text_.empty() ? "" : ", ") + Quoted(key) + ": " + value;
    }
    bool Empty() const { return text_.empty(); }
    std::string Text() const { return "{" + text_ + "}"; }

private:
    std::string text_;
};

class Writer {
public:
    Writer(const Document& document, std::ostream& out) : document_(document), out_(out) {
        for (const auto& [name, gradient] : document.gradients) {
            gradientNames_[reinterpret_cast<GradientHandle>(gradient.get())] = &name;
        }
        for (const auto& [name, color] : document.customColors) {
            customColorNames_[reinterpret_cast<CustomColorHandle>(color.get())] = &name;
        }
        for (const auto& [name, pattern] : document.patterns) {
            patternNames_[reinterpret_cast<PatternHandle>(pattern.get())] = &name;
        }
    }

    void Write();

private:
    enum class Form { kGroup, kPath, kCompound, kPlugin, kNamedLeaf, kCode };

    // An art object whose opening has been written and whose children are being written.
    struct OpenArt {
        const Art* art;
        Form form;
        int level;
        size_t nextChild = 0;
        bool childrenOpen = false;
        bool resultWritten = false;
    };

    static Form FormOf(const Art& art);
    static bool ResultIsDefault(const Art& result);
    void Indent(int level);

    std::string Color(const HostColor& color) const;
    std::string GradientFillText(const GradientFill& fill) const;
    std::string StrokeText(const StrokeStyle& stroke) const;
    std::string StyleText(const PathStyle& style) const;
    std::string SegmentText(const PathSegment& segment) const;
    template <typename Handle>
    const std::string& NameOf(const std::map<Handle, const std::string*>& names, Handle handle,
                              const char* what) const;

    void WriteCustomColors();
    void WriteGradients();
    // Writes the art's opening and its own keys; answers the frame for its children.
    OpenArt OpenArtObject(const Art& art, int level, const std::string& defaultName, const PathStyle* inherited);
    void WriteArtTree(const Art& root, int level, const std::string& defaultName);

    const Document& document_;
    std::ostream& out_;
    std::map<GradientHandle, const std::string*> gradientNames_;
    std::map<CustomColorHandle, const std::string*> customColorNames_;
    std::map<PatternHandle, const std::string*> patternNames_;
};

void Writer::Indent(int level) {
    for (int i = 0; i < std::min(level, kMaxIndent); ++i) out_ << "  ";
}

template <typename Handle>
const std::string& Writer::NameOf(const std::map<Handle, const std::string*>& names, Handle handle,
                                  const char* what) const {
    auto it = names.find(handle);
    if (it == names.end()) throw std::invalid_argument(std::string("a colour refers to a ") + what + " that is not in the document");
    return *it->second;
}

bool AllWordsZero(const HostColor& color) {
    for (uint32_t word : color.c.words) {
        if (word != 0) return false;
    }
    return true;
}

// Colours of the resource kinds without a resource are what {"kind": n} reads as.
bool IsBareKind(const HostColor& color) {
    switch (color.kind) {
        case kCustomColor: return color.c.custom.color == nullptr && AllWordsZero(color);
        case kPatternColor: return color.c.pattern.pattern == nullptr && AllWordsZero(color);
        case kGradientColor: return color.c.gradient.gradient == nullptr && AllWordsZero(color);
        default: return false;
    }
}

std::string Writer::Color(const HostColor& color) const {
    InlineObject object;
    if (IsBareKind(color)) {
        object.Add("kind", std::to_string(color.kind));
        return object.Text();
    }
    switch (color.kind) {
        case kNoneColor: return Quoted("none");
        case kGrayColor: object.Add("gray", Number(color.c.gray.gray)); break;
        case kThreeColor:
            object.Add("rgb", Numbers({color.c.rgb.red, color.c.rgb.green, color.c.rgb.blue}));
            break;
        case kFourColor:
            object.Add("cmyk", Numbers({color.c.cmyk.cyan, color.c.cmyk.magenta, color.c.cmyk.yellow, color.c.cmyk.black}));
            break;
        case kCustomColor:
            object.Add("custom", Quoted(NameOf(customColorNames_, color.c.custom.color, "custom colour")));
            if (!SameBits(color.c.custom.tint, 0.0f)) object.Add("tint", Number(color.c.custom.tint));
            break;
        case kPatternColor: object.Add("pattern", Quoted(NameOf(patternNames_, color.c.pattern.pattern, "pattern"))); break;
        case kGradientColor: return GradientFillText(color.c.gradient);
        default: object.Add("kind", std::to_string(color.kind)); break;
    }
    return object.Text();
}

std::string Writer::GradientFillText(const GradientFill& fill) const {
    InlineObject object;
    object.Add("gradient", Quoted(NameOf(gradientNames_, fill.gradient, "gradient")));
    if (!SamePoint(fill.origin, {0.0f, 0.0f})) object.Add("origin", Numbers({fill.origin.h, fill.origin.v}));
    if (!SameBits(fill.angle, 0.0f)) object.Add("angle", Number(fill.angle));
    if (!SameBits(fill.length, 100.0f)) object.Add("length", Number(fill.length));
    const RealMatrix& m = fill.matrix;
    const bool identity = SameBits(m.a, 1.0f) && SameBits(m.b, 0.0f) && SameBits(m.c, 0.0f) && SameBits(m.d, 1.0f) &&
                          SameBits(m.tx, 0.0f) && SameBits(m.ty, 0.0f);
    if (!identity) object.Add("matrix", Numbers({m.a, m.b, m.c, m.d, m.tx, m.ty}));
    if (!SameBits(fill.hiliteAngle, 0.0f)) object.Add("hiliteAngle", Number(fill.hiliteAngle));
    if (!SameBits(fill.hiliteLength, 0.0f)) object.Add("hiliteLength", Number(fill.hiliteLength));
    return object.Text();
}

std::string Writer::StrokeText(const StrokeStyle& stroke) const {
    InlineObject object;
    if (stroke.color.kind != kNoneColor) object.Add("color", Color(stroke.color));
    if (!SameBits(stroke.width, 1.0f)) object.Add("width", Number(stroke.width));
    if (stroke.dashCount > 0) {
        std::string dashes = "[";
        for (int i = 0; i < std::min<int>(stroke.dashCount, kMaxDashes); ++i) {
            dashes += (i > 0 ? ", " : "") + Number(stroke.dashes[i]);
        }
        object.Add("dashes", dashes + "]");
    }
    if (!SameBits(stroke.dashOffset, 0.0f)) object.Add("dashOffset", Number(stroke.dashOffset));
    if (stroke.cap != kButtCap) object.Add("cap", Code(stroke.cap, {"butt", "round", "square"}));
    if (stroke.join != kMiterJoin) object.Add("join", Code(stroke.join, {"miter", "round", "bevel"}));
    if (!SameBits(stroke.miterLimit, 4.0f)) object.Add("miterLimit", Number(stroke.miterLimit));
    return object.Text();
}

// The style with everything the loader supplies by default left out; "{}" for the default style.
std::string Writer::StyleText(const PathStyle& style) const {
    InlineObject object;
    const bool fillGiven = style.fill.color.kind != kNoneColor;
    if (fillGiven) object.Add("fill", Color(style.fill.color));
    if ((style.fillPaint != 0) != fillGiven) object.Add("fillPaint", style.fillPaint != 0 ? "true" : "false");
    const std::string stroke = StrokeText(style.stroke);
    const bool strokeGiven = stroke != "{}" || style.strokePaint != 0;
    if (strokeGiven) object.Add("stroke", stroke);
    if ((style.strokePaint != 0) != strokeGiven) object.Add("strokePaint", "false");
    if (style.evenOdd != 0) object.Add("evenOdd", "true");
    if (style.clip != 0) object.Add("clip", "true");
    return object.Text();
}

std::string Writer::SegmentText(const PathSegment& segment) const {
    const bool plain = SamePoint(segment.in, segment.p) && SamePoint(segment.out, segment.p) && segment.corner != 0;
    if (plain) return Numbers({segment.p.h, segment.p.v});
    InlineObject object;
    object.Add("anchor", Numbers({segment.p.h, segment.p.v}));
    if (!SamePoint(segment.in, segment.p)) object.Add("in", Numbers({segment.in.h, segment.in.v}));
    if (!SamePoint(segment.out, segment.p)) object.Add("out", Numbers({segment.out.h, segment.out.v}));
    if (segment.corner == 0) object.Add("corner", "false");
    return object.Text();
}

Writer::Form Writer::FormOf(const Art& art) {
    switch (art.type) {
        case kGroupArt: return Form::kGroup;
        case kPathArt: return Form::kPath;
        case kCompoundPathArt: return Form::kCompound;
        // A plug-in object always has result art when read; without it only the code says what it is.
        case kPluginArt: return art.result ? Form::kPlugin : Form::kCode;
        case kTextFrameArt:
        case kPlacedArt:
        case kRasterArt:
        case kMeshArt:
        case kSymbolArt: return Form::kNamedLeaf;
        default: return Form::kCode;
    }
}

bool Writer::ResultIsDefault(const Art& result) {
    return result.children.empty() && result.defaultName && result.name == DefaultArtName(kGroupArt) &&
           SameBits(result.opacity, 1.0f) && !result.hidden && !result.bounds;
}

void Writer::WriteCustomColors() {
    if (document_.customColors.empty()) return;
    out_ << "  \"customColors\": {\n";
    size_t i = 0;
    for (const auto& [name, color] : document_.customColors) {
        const CustomColorDefinition& definition = color->definition;
        InlineObject object;
        if (definition.kind == kCustomFourColor) {
            const FourColorStyle& c = definition.c.cmyk;
            object.Add("cmyk", Numbers({c.cyan, c.magenta, c.yellow, c.black}));
        } else if (definition.kind == kCustomThreeColor) {
            object.Add("rgb", Numbers({definition.c.rgb.red, definition.c.rgb.green, definition.c.rgb.blue}));
        } else {
            object.Add("kind", std::to_string(definition.kind));
        }
        out_ << "    " << Quoted(name) << ": " << object.Text() << (++i < document_.customColors.size() ? ",\n" : "\n");
    }
    out_ << "  },\n";
}

void Writer::WriteGradients() {
    if (document_.gradients.empty()) return;
    out_ << "  \"gradients\": {\n";
    size_t i = 0;
    for (const auto& [name, gradient] : document_.gradients) {
        out_ << "    " << Quoted(name) << ": {";
        if (gradient->type != kLinearGradient) out_ << "\"type\": " << Code(gradient->type, {"linear", "radial"}) << ", ";
        out_ << "\"stops\": [";
        for (size_t s = 0; s < gradient->stops.size(); ++s) {
            const GradientStop& stop = gradient->stops[s];
            InlineObject object;
            object.Add("position", Number(stop.position));
            if (!SameBits(stop.midpoint, 50.0f)) object.Add("midpoint", Number(stop.midpoint));
            object.Add("color", Color(stop.color));
            out_ << (s > 0 ? ",\n      " : "\n      ") << object.Text();
        }
        out_ << (gradient->stops.empty() ? "]}" : "\n    ]}") << (++i < document_.gradients.size() ? ",\n" : "\n");
    }
    out_ << "  },\n";
}

Writer::OpenArt Writer::OpenArtObject(const Art& art, int level, const std::string& defaultName,
                                      const PathStyle* inherited) {
    const Form form = FormOf(art);
    if (!art.children.empty() && form != Form::kGroup && form != Form::kCompound) {
        throw std::invalid_argument("art of type " + std::to_string(art.type) + " (\"" + art.name +
                                    "\") has children, which only groups and compound paths can have");
    }
    out_ << "{\n";
    const auto key = [&](const char* name) {
        Indent(level + 1);
        out_ << Quoted(name) << ": ";
    };
    static constexpr const char* kLeafNames[] = {"text", "placed", "raster", "mesh", "symbol"};
    static constexpr int16_t kLeafCodes[] = {kTextFrameArt, kPlacedArt, kRasterArt, kMeshArt, kSymbolArt};
    key("type");
    switch (form) {
        case Form::kGroup: out_ << "\"group\""; break;
        case Form::kPath: out_ << "\"path\""; break;
        case Form::kCompound: out_ << "\"compound\""; break;
        case Form::kPlugin: out_ << "\"plugin\""; break;
        case Form::kNamedLeaf:
            for (size_t i = 0; i < std::size(kLeafCodes); ++i) {
                if (kLeafCodes[i] == art.type) out_ << Quoted(kLeafNames[i]);
            }
            break;
        case Form::kCode: out_ << art.type; break;
    }
    if (!(art.defaultName && art.name == defaultName)) {
        out_ << ",\n";
        key("name");
        out_ << Quoted(art.name);
    }
    if (!SameBits(art.opacity, 1.0f)) {
        out_ << ",\n";
        key("opacity");
        out_ << Number(art.opacity);
    }
    if (art.hidden) {
        out_ << ",\n";
        key("hidden");
        out_ << "true";
    }
    if (art.bounds) {
        out_ << ",\n";
        key("bounds");
        out_ << Numbers({art.bounds->left, art.bounds->top, art.bounds->right, art.bounds->bottom});
    }
    if (form == Form::kPath && art.closed) {
        out_ << ",\n";
        key("closed");
        out_ << "true";
    }
    if ((form == Form::kPath || form == Form::kCompound) && art.guide) {
        out_ << ",\n";
        key("guide");
        out_ << "true";
    }
    if (form == Form::kPath || form == Form::kCompound || form == Form::kPlugin) {
        // A compound's members take its style when they have none of their own.
        const std::string style = StyleText(art.Style());
        const std::string fallback = inherited != nullptr ? StyleText(*inherited) : "{}";
        if (style != fallback) {
            out_ << ",\n";
            key("style");
            out_ << style;
        }
    }
    if (form == Form::kPlugin) {
        out_ << ",\n";
        key("pluginName");
        out_ << Quoted(art.pluginName);
    }
    if (form == Form::kPath) {
        out_ << ",\n";
        key("segments");
        if (art.segments.empty()) {
            out_ << "[]";
        } else {
            out_ << "[\n";
            for (size_t i = 0; i < art.segments.size(); ++i) {
                Indent(level + 2);
                out_ << SegmentText(art.segments[i]) << (i + 1 < art.segments.size() ? ",\n" : "\n");
            }
            Indent(level + 1);
            out_ << "]";
        }
    }
    OpenArt open{&art, form, level};
    if (form == Form::kCompound || (form == Form::kGroup && !art.children.empty())) {
        out_ << ",\n";
        key("children");
        out_ << "[";
        open.childrenOpen = true;
    }
    return open;
}

// Depth first with an explicit stack: trees may be very deep.
void Writer::WriteArtTree(const Art& root, int level, const std::string& defaultName) {
    std::vector<OpenArt> stack;
    stack.push_back(OpenArtObject(root, level, defaultName, nullptr));
    while (!stack.empty()) {
        OpenArt& top = stack.back();
        const Art& art = *top.art;
        if (top.childrenOpen && top.nextChild < art.children.size()) {
            const Art& child = *art.children[top.nextChild];
            if (top.form == Form::kCompound && FormOf(child) != Form::kPath) {
                throw std::invalid_argument("the compound path \"" + art.name + "\" has a member that is not a path");
            }
            out_ << (top.nextChild == 0 ? "\n" : ",\n");
            ++top.nextChild;
            Indent(top.level + 2);
            const PathStyle* inherited = top.form == Form::kCompound ? &art.Style() : nullptr;
            const int childLevel = top.level + 2;
            stack.push_back(OpenArtObject(child, childLevel, DefaultArtName(child.type), inherited));
            continue;
        }
        if (top.childrenOpen) {
            if (!art.children.empty()) {
                out_ << "\n";
                Indent(top.level + 1);
            }
            out_ << "]";
            top.childrenOpen = false;
        }
        if (top.form == Form::kPlugin && !top.resultWritten) {
            top.resultWritten = true;
            const Art& result = *art.result;
            if (result.type != kGroupArt) {
                throw std::invalid_argument("the result art of the plug-in object \"" + art.name + "\" is not a group");
            }
            if (!ResultIsDefault(result)) {
                out_ << ",\n";
                Indent(top.level + 1);
                out_ << "\"result\": ";
                const int resultLevel = top.level + 1;
                stack.push_back(OpenArtObject(result, resultLevel, DefaultArtName(kGroupArt), nullptr));
                continue;
            }
        }
        out_ << "\n";
        Indent(top.level);
        out_ << "}";
        stack.pop_back();
    }
}

void Writer::Write() {
    out_ << "{\n";
    WriteCustomColors();
    WriteGradients();
    out_ << "  \"layers\": [";
    for (size_t i = 0; i < document_.layers.size(); ++i) {
        out_ << (i == 0 ? "\n    " : ",\n    ");
        WriteArtTree(*document_.layers[i], 2, "Layer " + std::to_string(i + 1));
    }
    out_ << (document_.layers.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace

void WriteDocumentJson(const Document& document, std::ostream& out) {
    Writer(document, out).Write();
}

std::string DocumentToJson(const Document& document) {
    std::ostringstream out;
    WriteDocumentJson(document, out);
    return out.str();
}

}  // namespace document
