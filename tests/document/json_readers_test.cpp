// The two JSON readers behind the loader: the fast one must build exactly the document the
// portable one builds, and must never accept text the portable one refuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "document/json_loader.h"
#include "tests/document/invalid_json_texts.h"

namespace document {
namespace {

// Every float with its sign and exact value.
std::string Real(HostReal value) {
    char text[32];
    std::snprintf(text, sizeof text, "%a ", double(value));
    return text;
}

// Names instead of handles, so that documents loaded separately compare.
class Describer {
public:
    explicit Describer(const Document& document) : document_(document) {}

    std::string Describe() {
        for (const auto& [name, gradient] : document_.gradients) {
            out_ << "gradient " << name << " " << gradient->type << "\n";
            for (const GradientStop& stop : gradient->stops) {
                out_ << Real(stop.position) << Real(stop.midpoint);
                Color(stop.color);
            }
        }
        for (const auto& [name, color] : document_.customColors) {
            out_ << "custom " << name << " " << color->definition.kind;
            for (uint32_t word : color->definition.c.words) out_ << " " << word;
            out_ << "\n";
        }
        for (const auto& [name, pattern] : document_.patterns) out_ << "pattern " << name << "\n";
        for (const auto& layer : document_.layers) Art(*layer, 0);
        return out_.str();
    }

private:
    template <typename Map>
    static std::string NameOf(const Map& map, const void* handle) {
        for (const auto& [name, object] : map) {
            if (object.get() == handle) return name;
        }
        return "?";
    }

    void Color(const HostColor& color) {
        out_ << "colour " << color.kind << " ";
        switch (color.kind) {
            case kCustomColor:
                out_ << NameOf(document_.customColors, color.c.custom.color) << " " << Real(color.c.custom.tint);
                break;
            case kPatternColor: out_ << NameOf(document_.patterns, color.c.pattern.pattern); break;
            case kGradientColor: {
                const GradientFill& fill = color.c.gradient;
                out_ << NameOf(document_.gradients, fill.gradient) << " " << Real(fill.origin.h) << Real(fill.origin.v)
                     << Real(fill.angle) << Real(fill.length) << Real(fill.matrix.a) << Real(fill.matrix.b)
                     << Real(fill.matrix.c) << Real(fill.matrix.d) << Real(fill.matrix.tx) << Real(fill.matrix.ty)
                     << Real(fill.hiliteAngle) << Real(fill.hiliteLength);
                break;
            }
            default:
                for (uint32_t word : color.c.words) out_ << word << " ";
                break;
        }
        out_ << "\n";
    }

    void Art(const document::Art& art, int depth) {
        out_ << std::string(size_t(depth), ' ') << "art " << art.type << " \"" << art.name << "\" " << art.defaultName
             << " " << Real(art.opacity) << art.hidden << art.closed << art.guide;
        if (art.bounds) out_ << " bounds " << Real(art.bounds->left) << Real(art.bounds->top) << Real(art.bounds->right) << Real(art.bounds->bottom);
        out_ << " plugin \"" << art.pluginName << "\"\n";
        const PathStyle& style = art.Style();
        out_ << "style " << style.fillPaint << style.strokePaint << style.clip << style.evenOdd << style.fill.overprint
             << style.stroke.overprint << " " << Real(style.stroke.width) << style.stroke.dashCount << " "
             << Real(style.stroke.dashOffset) << style.stroke.cap << " " << style.stroke.join << " "
             << Real(style.stroke.miterLimit);
        for (HostReal dash : style.stroke.dashes) out_ << Real(dash);
        out_ << "\n";
        Color(style.fill.color);
        Color(style.stroke.color);
        for (const PathSegment& segment : art.segments) {
            out_ << Real(segment.p.h) << Real(segment.p.v) << Real(segment.in.h) << Real(segment.in.v) << Real(segment.out.h)
                 << Real(segment.out.v) << segment.corner << "\n";
        }
        for (const auto& child : art.children) Art(*child, depth + 1);
        if (art.result) Art(*art.result, depth + 1);
    }

    const Document& document_;
    std::ostringstream out_;
};

std::string LoadedWith(const std::string& text, JsonReader reader, size_t pieceSize = kJsonPieceSize) {
    JsonReader used = JsonReader::kFast;
    const Document document = LoadDocumentText(text, 0, reader, &used, pieceSize);
    // Valid text is read by the reader asked for, where it is built.
    EXPECT_EQ(used == JsonReader::kFast, reader == JsonReader::kFast && HasFastJsonReader());
    return Describer(document).Describe();
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(JsonReaders, BuildTheSameDocument) {
    // Keys in unusual orders, names used before they are given, escapes, negative zeros,
    // integers beyond 64 bits, reals written as integers and the reverse.
    const std::string unusual = R"({
      "customColors": {"late": {"rgb": [0, 0.5, 1]}},
      "layers": [
        {"children": [
           {"children": [{"segments": [[-0, 1e2], {"out": [1, 2], "corner": false, "anchor": [3E-2, -4.5e+1]}],
                          "type": "path"},
                         {"style": {"fill": {"gray": -0}}, "type": "path", "segments": []}],
            "style": {"stroke": {"width": 2.0, "dashes": [1, -0.0, 3], "cap": 2.0, "join": "round"},
                      "fill": {"gradient": "g", "matrix": [1, 0, 0, 1, 100000000000000000000, -7]}},
            "t\u0079pe": "compound"},
           {"type": "plugin", "result": {"children": [], "type": "group", "name": "\u00e9\ud83d\ude00\n"},
            "pluginName": "P", "style": {"fill": {"custom": "late", "tint": 0.25}}},
           {"bounds": [1, 2, 3, 4], "opacity": -0, "hidden": true, "type": 12, "name": ""},
           {"type": "path", "closed": true, "guide": true, "segments": [[1.5, 2.5]],
            "style": {"fill": {"pattern": "dots"}, "stroke": {"color": {"cmyk": [0.1, 0.2, 0.3, 0.4]}},
                      "fillPaint": false, "clip": true, "evenOdd": true}}
         ], "type": "group", "name": "Front"},
        {"type": "path", "segments": [], "style": {"fill": {"kind": 42}}}
      ],
      "gradients": {"g": {"type": "radial", "stops": [{"position": 0, "color": {"gradient": "h"}},
                                                       {"position": 100, "midpoint": 25, "color": "none"}]},
                    "h": {"stops": [{"position": 50, "color": {"custom": "late"}}]}}
    })";
    const std::string fast = LoadedWith(unusual, JsonReader::kFast);
    EXPECT_EQ(fast, LoadedWith(unusual, JsonReader::kPortable));
    for (size_t pieceSize = 1; pieceSize <= unusual.size(); pieceSize += 7) {
        EXPECT_EQ(LoadedWith(unusual, JsonReader::kFast, pieceSize), fast) << pieceSize;
    }
    EXPECT_NE(fast.find("art 3 \"<Compound Path>\""), std::string::npos) << fast;
    EXPECT_NE(fast.find("-0x0p+0 0x1.9p+6"), std::string::npos) << fast;  // [-0, 1e2]

    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUILLMARK_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".json") continue;
        const std::string text = ReadFile(entry.path());
        const std::string portable = LoadedWith(text, JsonReader::kPortable);
        for (size_t pieceSize : {kJsonPieceSize, size_t(1), size_t(200), size_t(4096)}) {
            EXPECT_EQ(LoadedWith(text, JsonReader::kFast, pieceSize), portable) << entry.path() << " " << pieceSize;
        }
        ++examples;
    }
    EXPECT_GT(examples, 0);
}

TEST(JsonReaders, SegmentsOfEveryFormBuildTheSameDocument) {
    // The fast reader reads plain segments from their text and walks the others: both ways, and
    // the portable reader, must agree on every form, whichever way each segment goes.
    const std::string segments[] = {
        R"({"anchor": [1.5, -2.25], "in": [3.125, 4.5], "out": [-5.75, 6.0], "corner": false})",
        R"({"anchor":[1.5,-2.25],"in":[3.125,4.5],"out":[-5.75,6.0],"corner":true})",
        R"({ "corner" : false , "out" : [ 7.5 , 8.5 ] , "anchor" :
            [ 9.5 ,	10.5 ] , "in" : [ 11.5 , 12.5 ] })",
        R"({"anchor": [1.5, 2.5]})",
        R"({"anchor": [1.5, 2.5], "in": [0.5, 0.25]})",
        R"({"out": [0.5, 0.25], "anchor": [1.5, 2.5]})",
        R"({"anchor": [1.5, 2.5], "corner": false})",
        R"({"anchor": [-0.0, 0.0], "in": [-0.0, -0.5], "out": [0.1, 0.2]})",
        R"({"anchor": [16777217.0, 0.1], "in": [123456789.123456, 1.00000001]})",
        R"({"anchor": [3.4028235e38, -3.4028235e38]})",
        R"({"anchor": [340282350000000000000000000000000000000.0, 1.5]})",
        R"({"anchor": [1, 2], "in": [3.5, 4], "out": [5, 6.5], "corner": false})",
        R"({"anchor": [-0, 0], "in": [-7, 123456789012345], "out": [1234567890123456, -0.5]})",
        R"({"anchor": [1e2, 2.5E-1], "in": [1.5, 2.5]})",
        R"({"anchor": [1.5, 2.5], "anchor": [3.5, 4.5], "corner": false, "corner": true})",
        R"({"anch\u006fr": [1.5, 2.5], "\u0069n": [0.5, 0.5]})",
        R"({"anchor": [1.25, 2.25], "out": [0.123456789012345, 12345678901234.5]})",
        R"({"anchor": [1.25, 2.25], "out": [0.1234567890123456, 123456789012345.6]})",
        "[1.5, 2.5]",
    };
    std::string all;
    for (const std::string& segment : segments) {
        all += (all.empty() ? "" : ",\n") + segment;
        const std::string text = R"({"layers": [{"type": "path", "closed": true, "segments": [)" + segment + "]}]}";
        const std::string portable = LoadedWith(text, JsonReader::kPortable);
        EXPECT_EQ(LoadedWith(text, JsonReader::kFast), portable) << segment;
    }
    // All in one path, between plain ones, in pieces of many sizes.
    const std::string text = R"({"layers": [{"type": "group", "children": [{"type": "path", "segments": [)" + all +
                             "]}, {\"type\": \"path\", \"segments\": [" + all + "]}]}]}";
    const std::string portable = LoadedWith(text, JsonReader::kPortable);
    for (size_t pieceSize = 1; pieceSize <= text.size(); pieceSize += 13) {
        EXPECT_EQ(LoadedWith(text, JsonReader::kFast, pieceSize), portable) << pieceSize;
    }
    EXPECT_NE(portable.find("0x1.8p+0 -0x1.2p+1 0x1.9p+1 0x1.2p+2 -0x1.7p+2 0x1.8p+2 0\n"), std::string::npos) << portable;

    // Arrays whose every segment is plain are read whole from their text: points among objects,
    // white space anywhere, empty arrays, the key before the type, a second "segments" key.
    const std::string plain = R"({"layers": [{"type": "group", "children": [
        {"type": "path", "segments": [ {"anchor": [1.5, 2.5], "in": [0.5, 0.25]} , [3, -4.75],
          {"out": [5.5, 6], "anchor": [-0, 7], "corner": false},[8.125,9] ]},
        {"segments": [], "type": "path"},
        {"segments": [ ], "type": "path", "closed": true},
        {"segments": [[1, 2]], "type": "path", "segments": [[3, 4], {"anchor": [5, 6]}]},
        {"type": "path", "segments": [
            {"anchor": [1.25, 2.25], "in": [1.25, 2.25], "out": [1.25, 2.25], "corner": true}]}]}]})";
    const std::string expected = LoadedWith(plain, JsonReader::kPortable);
    for (size_t pieceSize = 1; pieceSize <= plain.size(); pieceSize += 5) {
        EXPECT_EQ(LoadedWith(plain, JsonReader::kFast, pieceSize), expected) << pieceSize;
    }
    EXPECT_NE(expected.find("0x1.8p+1 -0x1.3p+2 0x1.8p+1 -0x1.3p+2 0x1.8p+1 -0x1.3p+2 1\n"), std::string::npos) << expected;
}

TEST(JsonReaders, BadSegmentsAreRefusedAsTheLoaderSays) {
    // A segment the fast reader does not take from its text is walked, and what is wrong with it
    // is said as for any other value.
    const std::pair<std::string, std::string> cases[] = {
        {R"({"anchor": [1.5, 2.5], "in": [0.5]})", "segments[0].in: expected 2 numbers, found 1"},
        {R"({"anchor": [1.5, 2.5], "corner": 1.5})", "segments[0].corner: expected true or false, found a number"},
        {R"({"anchor": [1.5, 2.5], "smooth": true})", "segments[0]: unknown key \"smooth\""},
        {R"({"in": [1.5, 2.5], "out": [0.5, 0.5]})", "segments[0]: missing key \"anchor\""},
        {R"({"anchor": [3.5e38, 2.5]})", "segments[0].anchor[0]:"},
        {R"({"anchor": [1.5, 2.5], "out": [1.5, 3.5e38]})", "segments[0].out[1]:"},
    };
    for (const auto& [segment, expected] : cases) {
        const std::string text = R"({"layers": [{"type": "path", "segments": [)" + segment + "]}]}";
        try {
            LoadDocument(text);
            ADD_FAILURE() << "loaded: " << segment;
        } catch (const DocumentError& error) {
            EXPECT_NE(std::string(error.what()).find("layers[0]." + expected), std::string::npos)
                << segment << "\n" << error.what();
        }
    }
}

TEST(JsonReaders, InvalidTextIsRefusedAsInvalidJson) {
    for (const std::string& text : testing::InvalidJsonTexts()) {
        try {
            LoadDocument(text);
            ADD_FAILURE() << "loaded: " << text;
        } catch (const DocumentError& error) {
            EXPECT_NE(std::string(error.what()).find("invalid JSON at line 1, column "), std::string::npos)
                << text << "\n" << error.what();
        }
    }
}

TEST(JsonReaders, FilesOfEverySizeAroundAPage) {
    // A mapped file ends wherever its size says; the fast reader reads a little past the end.
#if defined(_WIN32)
    const long page = 4096;  // the page size of 32-bit Windows
#else
    const long page = sysconf(_SC_PAGESIZE);
#endif
    const std::string base = R"({"layers": [{"type": "path", "segments": [[1, 2]]}]})";
    const auto path = std::filesystem::temp_directory_path() / ("quillmark-reader-" + std::to_string(getpid()) + ".json");
    for (long size : {long(base.size()), page - 64, page - 1, page, page + 1, 2 * page}) {
        std::string text = base;
        text.resize(size_t(size), ' ');
        std::ofstream(path, std::ios::binary) << text;
        const Document document = LoadDocumentFile(path.string());
        ASSERT_EQ(document.layers.at(0)->segments.size(), 1u) << size;
        EXPECT_EQ(document.layers[0]->segments[0].p.v, 2.0f) << size;
    }
    std::ofstream(path, std::ios::binary) << "";
    try {
        LoadDocumentFile(path.string());
        ADD_FAILURE() << "an empty file loaded";
    } catch (const DocumentError& error) {
        EXPECT_NE(std::string(error.what()).find(path.string() + ": invalid JSON at line 1, column 1"), std::string::npos)
            << error.what();
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace document
