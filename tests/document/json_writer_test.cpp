// The JSON writer: what it writes reads back to the same document, bit for bit, and exports
// to the same XAML.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "../xaml/writer_fixture.h"
#include "document/json_writer.h"

namespace {

namespace fs = std::filesystem;
using document::Art;
using document::Document;
using document::DocumentToJson;
using document::LoadDocument;

uint32_t Bits(HostReal value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

HostReal FromBits(uint32_t bits) {
    HostReal value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The documents to carry through the writer: the examples, and the conformance corpus when it
// is beside the repository.
std::vector<fs::path> SampleDocuments() {
    std::vector<fs::path> paths;
    for (const fs::path& folder : {fs::path(QUILLMARK_EXAMPLES_DIR), fs::path(QUILLMARK_CONFORMANCE_DIR) / "docs"}) {
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".json") paths.push_back(entry.path());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

class JsonWriterExportTest : public WriterTest {
protected:
    // The document's exports for the three targets, in one string.
    std::string ExportAll(const std::string& json) {
        Use(json);
        std::string all;
        for (Target target : {Target::kWpf, Target::kWpfe, Target::kDrawingBrush}) all += Export(target) + "\n----\n";
        return all;
    }
};

TEST_F(JsonWriterExportTest, WrittenDocumentsExportAsTheOriginalsAndWriteTheSameAgain) {
    const std::vector<fs::path> documents = SampleDocuments();
    ASSERT_GE(documents.size(), 3u) << "the examples are missing";
    for (const fs::path& path : documents) {
        SCOPED_TRACE(path.string());
        const std::string original = ReadFile(path);
        const std::string written = DocumentToJson(LoadDocument(original));
        EXPECT_EQ(ExportAll(written), ExportAll(original));
        EXPECT_EQ(DocumentToJson(LoadDocument(written)), written);
    }
}

// Every field of two art trees, the reals bit for bit; colours compare by the names of the
// resources they use.
class DocumentComparer {
public:
    DocumentComparer(const Document& a, const Document& b) : a_(a), b_(b) {}

    void Compare() {
        ASSERT_EQ(a_.layers.size(), b_.layers.size());
        for (size_t i = 0; i < a_.layers.size(); ++i) CompareArt(*a_.layers[i], *b_.layers[i], "layers[" + std::to_string(i) + "]");
        ASSERT_EQ(a_.gradients.size(), b_.gradients.size());
        for (const auto& [name, gradient] : a_.gradients) {
            ASSERT_EQ(b_.gradients.count(name), 1u) << name;
            const document::Gradient& other = *b_.gradients.at(name);
            EXPECT_EQ(gradient->type, other.type) << name;
            ASSERT_EQ(gradient->stops.size(), other.stops.size()) << name;
            for (size_t s = 0; s < gradient->stops.size(); ++s) {
                EXPECT_EQ(Bits(gradient->stops[s].position), Bits(other.stops[s].position)) << name;
                EXPECT_EQ(Bits(gradient->stops[s].midpoint), Bits(other.stops[s].midpoint)) << name;
                CompareColor(gradient->stops[s].color, other.stops[s].color, name);
            }
        }
        ASSERT_EQ(a_.customColors.size(), b_.customColors.size());
        for (const auto& [name, color] : a_.customColors) {
            ASSERT_EQ(b_.customColors.count(name), 1u) << name;
            EXPECT_EQ(std::memcmp(&color->definition, &b_.customColors.at(name)->definition, sizeof color->definition), 0) << name;
        }
    }

private:
    static std::string GradientName(const Document& d, GradientHandle handle) {
        for (const auto& [name, gradient] : d.gradients) {
            if (reinterpret_cast<GradientHandle>(gradient.get()) == handle) return name;
        }
        return "?";
    }
    static std::string CustomName(const Document& d, CustomColorHandle handle) {
        for (const auto& [name, color] : d.customColors) {
            if (reinterpret_cast<CustomColorHandle>(color.get()) == handle) return name;
        }
        return "?";
    }
    static std::string PatternName(const Document& d, PatternHandle handle) {
        for (const auto& [name, pattern] : d.patterns) {
            if (reinterpret_cast<PatternHandle>(pattern.get()) == handle) return name;
        }
        return "?";
    }

    void CompareColor(const HostColor& a, const HostColor& b, const std::string& where) {
        ASSERT_EQ(a.kind, b.kind) << where;
        HostColor x = a;
        HostColor y = b;
        if (a.kind == kGradientColor) {
            EXPECT_EQ(GradientName(a_, a.c.gradient.gradient), GradientName(b_, b.c.gradient.gradient)) << where;
            x.c.gradient.gradient = y.c.gradient.gradient = nullptr;
        } else if (a.kind == kCustomColor) {
            EXPECT_EQ(CustomName(a_, a.c.custom.color), CustomName(b_, b.c.custom.color)) << where;
            x.c.custom.color = y.c.custom.color = nullptr;
        } else if (a.kind == kPatternColor) {
            EXPECT_EQ(PatternName(a_, a.c.pattern.pattern), PatternName(b_, b.c.pattern.pattern)) << where;
            x.c.pattern.pattern = y.c.pattern.pattern = nullptr;
        }
        EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0) << where;
    }

    void CompareStyle(const PathStyle& a, const PathStyle& b, const std::string& where) {
        EXPECT_EQ(a.fillPaint, b.fillPaint) << where;
        EXPECT_EQ(a.strokePaint, b.strokePaint) << where;
        EXPECT_EQ(a.clip, b.clip) << where;
        EXPECT_EQ(a.evenOdd, b.evenOdd) << where;
        CompareColor(a.fill.color, b.fill.color, where + ".fill");
        CompareColor(a.stroke.color, b.stroke.color, where + ".stroke");
        StrokeStyle x = a.stroke;
        StrokeStyle y = b.stroke;
        x.color = y.color = HostColor{};
        EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0) << where << ".stroke";
    }

    void CompareArt(const Art& a, const Art& b, const std::string& where) {
        EXPECT_EQ(a.type, b.type) << where;
        EXPECT_EQ(a.name, b.name) << where;
        EXPECT_EQ(a.defaultName, b.defaultName) << where;
        EXPECT_EQ(Bits(a.opacity), Bits(b.opacity)) << where;
        EXPECT_EQ(a.hidden, b.hidden) << where;
        ASSERT_EQ(a.bounds.has_value(), b.bounds.has_value()) << where;
        if (a.bounds) {
            EXPECT_EQ(std::memcmp(&*a.bounds, &*b.bounds, sizeof *a.bounds), 0) << where;
        }
        EXPECT_EQ(a.closed, b.closed) << where;
        EXPECT_EQ(a.guide, b.guide) << where;
        EXPECT_EQ(a.pluginName, b.pluginName) << where;
        CompareStyle(a.Style(), b.Style(), where + ".style");
        ASSERT_EQ(a.segments.size(), b.segments.size()) << where;
        for (size_t i = 0; i < a.segments.size(); ++i) {
            const PathSegment& s = a.segments[i];
            const PathSegment& t = b.segments[i];
            const HostReal x[] = {s.p.h, s.p.v, s.in.h, s.in.v, s.out.h, s.out.v};
            const HostReal y[] = {t.p.h, t.p.v, t.in.h, t.in.v, t.out.h, t.out.v};
            for (size_t k = 0; k < 6; ++k) ASSERT_EQ(Bits(x[k]), Bits(y[k])) << where << ".segments[" << i << "] " << x[k];
            EXPECT_EQ(s.corner != 0, t.corner != 0) << where << ".segments[" << i << "]";
        }
        ASSERT_EQ(a.children.size(), b.children.size()) << where;
        for (size_t i = 0; i < a.children.size(); ++i) {
            CompareArt(*a.children[i], *b.children[i], where + ".children[" + std::to_string(i) + "]");
        }
        ASSERT_EQ(a.result != nullptr, b.result != nullptr) << where;
        if (a.result) CompareArt(*a.result, *b.result, where + ".result");
    }

    const Document& a_;
    const Document& b_;
};

// Loads the JSON, writes it and loads that: both documents must be the same.
void ExpectRoundTrip(const std::string& json) {
    const Document original = LoadDocument(json);
    const std::string written = DocumentToJson(original);
    SCOPED_TRACE(written);
    const Document reread = LoadDocument(written);
    DocumentComparer(original, reread).Compare();
}

TEST(JsonWriter, KeepsEveryFeatureOfTheFormat) {
    ExpectRoundTrip(R"({
      "customColors": {"Brand": {"cmyk": [0.85, 0.45, 0, 0]}, "Leaf": {"rgb": [0.1, 0.7, 0.2]}, "Odd": {"kind": 9}},
      "gradients": {
        "Gold": {"type": "radial", "stops": [{"position": 0, "color": {"rgb": [1, 0.93, 0.55]}},
                                            {"position": 100, "midpoint": 40, "color": {"custom": "Brand", "tint": 0.25}}]},
        "Plain": {},
        "Coded": {"type": 7, "stops": [{"position": 50, "color": "none"}]}
      },
      "layers": [
        {"type": "group", "name": "Art", "opacity": 0.5, "hidden": true, "bounds": [-1, 20, 30, -4], "children": [
          {"type": "path", "closed": true, "guide": true,
           "segments": [[0, 0], {"anchor": [10, 0], "in": [8, -2], "out": [12, 2], "corner": false},
                        {"anchor": [5, 5], "out": [6, 6]}, {"anchor": [1, 2], "corner": false}],
           "style": {"fill": {"gradient": "Gold", "origin": [3, 4], "angle": 30, "length": 7,
                              "matrix": [1, 0.5, 0, 1, 2, 3], "hiliteAngle": 10, "hiliteLength": 0.5},
                     "stroke": {"color": {"gray": 0.3}, "width": 2.5, "dashes": [6, 3, 1], "dashOffset": 1,
                                "cap": "round", "join": "bevel", "miterLimit": 9},
                     "evenOdd": true, "clip": true}},
          {"type": "path", "segments": [], "style": {"fill": {"pattern": "Dots"}, "fillPaint": false,
                                                      "stroke": {}, "strokePaint": false}},
          {"type": "path", "segments": [[1, 1]], "style": {"fillPaint": true, "stroke": {"cap": 7, "join": -3}}},
          {"type": "path", "segments": [[1, 1]], "style": {"fill": {"kind": 42}, "stroke": {"color": {"cmyk": [0, 1, 0, 0.5]}}}},
          {"type": "path", "segments": [[1, 1]], "style": {"fill": {"kind": 4}, "stroke": {"color": {"kind": 2}}}},
          {"type": "path", "segments": [[1, 1]], "style": {"fill": {"kind": 3}, "stroke": {"color": {"kind": 6}}}},
          {"type": "compound", "name": "Ring", "style": {"fill": {"rgb": [0, 0, 1]}, "evenOdd": true}, "children": [
            {"type": "path", "segments": [[0, 0], [4, 0], [4, 4]]},
            {"type": "path", "segments": [[1, 1], [2, 1]], "style": {}},
            {"type": "path", "segments": [[1, 1], [3, 1]], "style": {"fill": {"gray": 1}}}
          ]},
          {"type": "compound", "children": [{"type": "path", "segments": [[0, 0]], "style": {"clip": true}}]},
          {"type": "compound", "children": []},
          {"type": "plugin", "pluginName": "Pathfinder Suite", "style": {"fill": {"gray": 0.5}},
           "result": {"type": "group", "children": [{"type": "path", "segments": [[0, 0], [1, 1]]}]}},
          {"type": "plugin", "pluginName": "Other"},
          {"type": "plugin", "pluginName": "Named result", "result": {"type": "group", "name": "R"}},
          {"type": "text"}, {"type": "placed"}, {"type": "raster"}, {"type": "mesh"}, {"type": "symbol"},
          {"type": 10}, {"type": 0}, {"type": 99, "name": "coded"}, {"type": -5},
          {"type": "group"}
        ]},
        {"type": "path", "segments": [[0, 0], [1, 0]]},
        {"type": "group", "name": "Layer 1"}
      ]
    })");
}

TEST(JsonWriter, KeepsNamesThatEqualTheDefaultsAsGivenNames) {
    const std::string json = R"({"layers": [{"type": "group", "name": "Layer 1", "children": [
        {"type": "path", "name": "<Path>", "segments": []}, {"type": "path", "segments": []}]},
        {"type": "group", "name": "Layer 1"}, {"type": "group"}]})";
    ExpectRoundTrip(json);
    const Document reread = LoadDocument(DocumentToJson(LoadDocument(json)));
    EXPECT_FALSE(reread.layers[0]->defaultName);
    EXPECT_FALSE(reread.layers[0]->children[0]->defaultName);
    EXPECT_TRUE(reread.layers[0]->children[1]->defaultName);
    EXPECT_EQ(reread.layers[2]->name, "Layer 3");
    EXPECT_TRUE(reread.layers[2]->defaultName);
}

TEST(JsonWriter, WritesNamesByteForByteAndEscapesWhatJsonMust) {
    ExpectRoundTrip(R"({"layers": [{"type": "group", "name": "Étage \"1\" \\ \u0001\t\n/ 図形 😀 \u007f",
                                    "children": [{"type": "path", "name": "", "segments": []}]}],
                        "gradients": {"Grün \"x\"": {}}})");
    Document document = LoadDocument(R"({"layers": [{"type": "group", "name": "x"}]})");
    for (const std::string bad : {"\xff", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "ab\xe2\x82"}) {
        document.layers[0]->name = bad;
        EXPECT_THROW(DocumentToJson(document), std::invalid_argument) << bad;
    }
}

// Any finite 32-bit value comes back with the same bits, however the loader rounds the text.
TEST(JsonWriter, WritesEveryRealSoThatItReadsBackToTheSameBits) {
    std::vector<HostReal> values = {0.0f, -0.0f, 0.1f, -1.5f, 16777216.0f, 16777218.0f, 1e-45f, -1e-45f,
                                    std::numeric_limits<HostReal>::min(), std::numeric_limits<HostReal>::max(),
                                    -std::numeric_limits<HostReal>::max(), std::nextafter(std::numeric_limits<HostReal>::max(), 0.0f),
                                    1e20f, 3.4e38f, 123456789.0f};
    std::mt19937 random(20261209);
    while (values.size() < 60000) {
        const HostReal value = FromBits(uint32_t(random()));
        if (std::isfinite(value)) values.push_back(value);
    }
    Document document = LoadDocument(R"({"layers": [{"type": "path", "segments": []}]})");
    Art& path = *document.layers[0];
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        PathSegment segment{};
        segment.p = {values[i], values[i + 1]};
        segment.in = segment.out = segment.p;
        segment.corner = 1;
        path.segments.push_back(segment);
        if (path.segments.size() == document::kMaxSegments) break;
    }
    path.opacity = -0.0f;
    const Document reread = LoadDocument(DocumentToJson(document));
    DocumentComparer(document, reread).Compare();

    // The largest real is written as its shortest decimal, which the loader takes back.
    path.segments.assign(1, PathSegment{});
    path.segments[0].p = {std::numeric_limits<HostReal>::max(), 0.0f};
    path.segments[0].in = path.segments[0].out = path.segments[0].p;
    path.segments[0].corner = 1;
    EXPECT_NE(DocumentToJson(document).find("3.4028235e+38"), std::string::npos) << DocumentToJson(document);
}

TEST(JsonWriter, RefusesWhatJsonOrTheFormatCannotHold) {
    Document document = LoadDocument(R"({"layers": [{"type": "path", "segments": [[0, 0]]}]})");
    document.layers[0]->segments[0].p.h = std::numeric_limits<HostReal>::quiet_NaN();
    EXPECT_THROW(DocumentToJson(document), std::invalid_argument);
    document.layers[0]->segments[0].p.h = std::numeric_limits<HostReal>::infinity();
    EXPECT_THROW(DocumentToJson(document), std::invalid_argument);

    Document withGroup = LoadDocument(R"({"layers": [{"type": "compound", "children": []}]})");
    auto group = std::make_unique<Art>();
    group->type = kGroupArt;
    withGroup.layers[0]->Add(std::move(group));
    EXPECT_THROW(DocumentToJson(withGroup), std::invalid_argument);

    Document placed = LoadDocument(R"({"layers": [{"type": "placed"}]})");
    placed.layers[0]->Add(std::make_unique<Art>());
    EXPECT_THROW(DocumentToJson(placed), std::invalid_argument);

    Document gradient = LoadDocument(R"({"gradients": {"G": {}}, "layers": [{"type": "path", "segments": [],
                                         "style": {"fill": {"gradient": "G"}}}]})");
    // Kept alive, so that no other gradient can take its address.
    const std::unique_ptr<document::Gradient> unlisted = std::move(gradient.gradients["G"]);
    gradient.gradients.clear();
    gradient.gradients["H"] = std::make_unique<document::Gradient>();
    EXPECT_THROW(DocumentToJson(gradient), std::invalid_argument);
}

// The art tree is walked without recursion, as the loader reads it.
TEST(JsonWriter, WritesTheDeepestTreeTheLoaderReads) {
    std::string json = R"({"layers": [)";
    const int levels = document::kMaxArtLevels;
    for (int i = 1; i < levels; ++i) json += R"({"type": "group", "children": [)";
    json += R"({"type": "path", "segments": [[1, 2]]})";
    for (int i = 1; i < levels; ++i) json += "]}";
    json += "]}";
    const std::string written = DocumentToJson(LoadDocument(json));
    const Document reread = LoadDocument(written);
    const Art* art = reread.layers[0].get();
    int depth = 1;
    while (!art->children.empty()) {
        art = art->children[0].get();
        ++depth;
    }
    EXPECT_EQ(depth, levels);
    EXPECT_EQ(art->type, kPathArt);
    EXPECT_LT(written.size(), size_t(levels) * 1000) << "indentation must not grow with the depth";
}

TEST(JsonWriter, WritesOneSegmentPerLine) {
    const std::string written =
        DocumentToJson(LoadDocument(R"({"layers": [{"type": "path", "segments": [[0, 0], [1.5, -0], [2, 3]]}]})"));
    EXPECT_NE(written.find("\n        [0, 0],\n        [1.5, -0],\n        [2, 3]\n"), std::string::npos) << written;
}

}  // namespace
