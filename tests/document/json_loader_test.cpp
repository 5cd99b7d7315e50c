#include "document/json_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace document {
namespace {

// A document with one layer whose root group holds the given art objects.
std::string WithChildren(const std::string& children, const std::string& extra = "") {
    return R"({"layers": [{"type": "group", "children": [)" + children + "]}]" + extra + "}";
}

const Art& OnlyChild(const Document& document) {
    return *document.layers.at(0)->children.at(0);
}

std::string MessageOf(const std::string& json, size_t pieceSize) {
    try {
        LoadDocumentText(json, 0, JsonReader::kFast, nullptr, pieceSize);
    } catch (const DocumentError& error) {
        return error.what();
    }
    return "";
}

// The loader's message for `json`, or "" when it loads; the same when it is read in pieces.
std::string ErrorOf(const std::string& json) {
    const std::string message = MessageOf(json, kJsonPieceSize);
    for (size_t pieceSize : {1, 16, 100}) EXPECT_EQ(MessageOf(json, pieceSize), message) << pieceSize << ": " << json;
    return message;
}

TEST(Loader, ArtTypesMapToTheHostsCodesAndDefaultNames) {
    const Document document = LoadDocument(WithChildren(R"(
        {"type": "group"}, {"type": "path", "segments": []}, {"type": "compound", "children": []},
        {"type": "plugin", "pluginName": "X"}, {"type": "text"}, {"type": "placed"}, {"type": "raster"},
        {"type": "mesh"}, {"type": "symbol"}, {"type": 99}, {"type": -300})"));
    const struct {
        int16_t type;
        const char* name;
    } expected[] = {{1, "<Group>"}, {2, "<Path>"},  {3, "<Compound Path>"}, {10, "<Plugin Group>"},
                    {12, "<Text>"}, {7, "<Placed>"}, {9, "<Image>"},          {11, "<Mesh>"},
                    {13, "<Symbol>"}, {99, "<Art>"}, {-300, "<Art>"}};
    const auto& children = document.layers[0]->children;
    ASSERT_EQ(children.size(), std::size(expected));
    for (size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(children[i]->type, expected[i].type) << i;
        EXPECT_EQ(children[i]->name, expected[i].name) << i;
        EXPECT_TRUE(children[i]->defaultName);
    }
}

TEST(Loader, LayerRootsAreNamedAfterTheirIndexUnlessNamed) {
    const Document document =
        LoadDocument(R"({"layers": [{"type": "group"}, {"type": "group", "name": "Sky"}, {"type": "path", "segments": []}]})");
    EXPECT_EQ(document.layers[0]->name, "Layer 1");
    EXPECT_EQ(document.layers[1]->name, "Sky");
    EXPECT_FALSE(document.layers[1]->defaultName);
    EXPECT_EQ(document.layers[2]->name, "Layer 3");
    EXPECT_EQ(document.layers[2]->type, kPathArt);
}

TEST(Loader, NamesAreKeptByteForByte) {
    const Document document = LoadDocument(WithChildren(R"({"type": "group", "name": "Ünïcode <&> \"q\""})"));
    EXPECT_EQ(OnlyChild(document).name, "\xC3\x9Cn\xC3\xAF" "code <&> \"q\"");
}

TEST(Loader, SegmentsInBothForms) {
    const Document document = LoadDocument(WithChildren(R"({"type": "path", "closed": true, "segments": [
        [1, 2],
        {"anchor": [3, 4]},
        {"anchor": [5, 6], "in": [7, 8], "out": [9, 10], "corner": false}]})"));
    const Art& path = OnlyChild(document);
    EXPECT_TRUE(path.closed);
    ASSERT_EQ(path.segments.size(), 3u);
    const PathSegment& plain = path.segments[0];
    EXPECT_EQ(plain.p.h, 1.0f);
    EXPECT_EQ(plain.in.v, 2.0f);
    EXPECT_EQ(plain.out.h, 1.0f);
    EXPECT_TRUE(plain.corner);
    EXPECT_EQ(path.segments[1].in.h, 3.0f);
    EXPECT_TRUE(path.segments[1].corner);
    const PathSegment& smooth = path.segments[2];
    EXPECT_EQ(smooth.in.h, 7.0f);
    EXPECT_EQ(smooth.out.v, 10.0f);
    EXPECT_FALSE(smooth.corner);
}

TEST(Loader, NumbersGoThroughDoubleToTheNearestFloatAndKeepNegativeZero) {
    const Document document = LoadDocument(WithChildren(R"({"type": "path", "segments": [[-0, 0.1], [-0.0, 16777217]]})"));
    const Art& path = OnlyChild(document);
    EXPECT_TRUE(std::signbit(path.segments[0].p.h));
    EXPECT_EQ(path.segments[0].p.v, static_cast<float>(0.1));
    EXPECT_TRUE(std::signbit(path.segments[1].p.h));
    EXPECT_EQ(path.segments[1].p.v, 16777216.0f);
}

TEST(Loader, ArtOfTheSameStyleSharesIt) {
    const Document document = LoadDocument(WithChildren(R"(
        {"type": "path", "segments": [], "style": {"fill": {"rgb": [1, 0, 0]}}},
        {"type": "path", "segments": [], "style": {"fillPaint": true, "fill": {"rgb": [1.0, 0, 0]}}},
        {"type": "path", "segments": [], "style": {"fill": {"rgb": [0, 1, 0]}}},
        {"type": "compound", "style": {"fill": {"rgb": [0, 1, 0]}}, "children": [
            {"type": "path", "segments": []}, {"type": "path", "segments": [], "style": {"fill": "none"}}]},
        {"type": "path", "segments": []})"));
    const auto& art = document.layers[0]->children;
    EXPECT_EQ(art[0]->SharedStyleOf(), art[1]->SharedStyleOf());
    EXPECT_NE(art[0]->SharedStyleOf(), art[2]->SharedStyleOf());
    EXPECT_EQ(art[3]->SharedStyleOf(), art[2]->SharedStyleOf());
    EXPECT_EQ(art[3]->children[0]->SharedStyleOf(), art[2]->SharedStyleOf());  // the compound's
    EXPECT_EQ(art[3]->children[1]->Style().fill.color.kind, kNoneColor);        // its own
    EXPECT_EQ(art[4]->SharedStyleOf(), DefaultStyle());
}

TEST(Loader, StyleDefaultsAndFlags) {
    const Document document = LoadDocument(WithChildren(R"(
        {"type": "path", "segments": []},
        {"type": "path", "segments": [], "style": {"fill": {"rgb": [1, 0, 0]}, "stroke": {}}},
        {"type": "path", "segments": [], "style": {"fill": "none", "stroke": {"color": {"gray": 1}}, "strokePaint": false,
                                                   "clip": true, "evenOdd": true}},
        {"type": "path", "segments": [], "style": {"fill": {"gradient": "g"}, "fillPaint": false}})",
                                                        R"(, "gradients": {"g": {}})"));
    const auto& paths = document.layers[0]->children;
    const PathStyle& none = paths[0]->Style();
    EXPECT_FALSE(none.fillPaint);
    EXPECT_FALSE(none.strokePaint);
    EXPECT_EQ(none.fill.color.kind, kNoneColor);
    EXPECT_EQ(none.stroke.color.kind, kNoneColor);
    EXPECT_EQ(none.stroke.width, 1.0f);
    EXPECT_EQ(none.stroke.dashCount, 0);
    EXPECT_EQ(none.stroke.cap, kButtCap);
    EXPECT_EQ(none.stroke.join, kMiterJoin);
    EXPECT_EQ(none.stroke.miterLimit, 4.0f);

    const PathStyle& red = paths[1]->Style();
    EXPECT_TRUE(red.fillPaint);
    EXPECT_EQ(red.fill.color.kind, kThreeColor);
    EXPECT_EQ(red.fill.color.c.rgb.red, 1.0f);
    EXPECT_TRUE(red.strokePaint);  // a stroke is present, even with its colour "none"
    EXPECT_EQ(red.stroke.color.kind, kNoneColor);

    const PathStyle& flags = paths[2]->Style();
    EXPECT_FALSE(flags.fillPaint);
    EXPECT_FALSE(flags.strokePaint);
    EXPECT_EQ(flags.stroke.color.kind, kGrayColor);
    EXPECT_TRUE(flags.clip);
    EXPECT_TRUE(flags.evenOdd);

    const PathStyle& gradient = paths[3]->Style();
    EXPECT_FALSE(gradient.fillPaint);
    EXPECT_EQ(gradient.fill.color.kind, kGradientColor);
}

TEST(Loader, StrokeCapsJoinsAndDashes) {
    const Document document = LoadDocument(WithChildren(R"(
        {"type": "path", "segments": [], "style": {"stroke": {"width": 2.5, "dashes": [6, 3, 1, 2, 3, 4], "dashOffset": 1,
                                                              "cap": "square", "join": "bevel", "miterLimit": 10}}},
        {"type": "path", "segments": [], "style": {"stroke": {"cap": 7, "join": -1}}})"));
    const StrokeStyle& stroke = OnlyChild(document).Style().stroke;
    EXPECT_EQ(stroke.width, 2.5f);
    EXPECT_EQ(stroke.dashCount, 6);
    EXPECT_EQ(stroke.dashes[5], 4.0f);
    EXPECT_EQ(stroke.dashOffset, 1.0f);
    EXPECT_EQ(stroke.cap, kProjectingCap);
    EXPECT_EQ(stroke.join, kBevelJoin);
    EXPECT_EQ(stroke.miterLimit, 10.0f);
    const StrokeStyle& coded = document.layers[0]->children[1]->Style().stroke;
    EXPECT_EQ(coded.cap, 7);
    EXPECT_EQ(coded.join, -1);
}

TEST(Loader, ColoursOfEveryKind) {
    const Document document = LoadDocument(WithChildren(R"(
        {"type": "path", "segments": [], "style": {"fill": {"gray": 0.25}}},
        {"type": "path", "segments": [], "style": {"fill": {"cmyk": [0.1, 0.2, 0.3, 0.4]}}},
        {"type": "path", "segments": [], "style": {"fill": {"custom": "spot", "tint": 0.5}}},
        {"type": "path", "segments": [], "style": {"fill": {"custom": "spot"}}},
        {"type": "path", "segments": [], "style": {"fill": {"pattern": "dots"}}},
        {"type": "path", "segments": [], "style": {"fill": {"pattern": "dots"}}},
        {"type": "path", "segments": [], "style": {"fill": {"kind": 42}}},
        {"type": "path", "segments": [], "style": {"fill": {"gradient": "g", "origin": [1, 2], "angle": 30, "length": 5,
                                                            "matrix": [1, 2, 3, 4, 5, 6], "hiliteAngle": 7, "hiliteLength": 8}}},
        {"type": "path", "segments": [], "style": {"fill": {"gradient": "g"}}})",
                                                        R"(, "gradients": {"g": {}}, "customColors": {"spot": {"rgb": [0, 1, 0]}})"));
    const auto& paths = document.layers[0]->children;
    auto fill = [&](size_t i) { return paths[i]->Style().fill.color; };
    EXPECT_EQ(fill(0).kind, kGrayColor);
    EXPECT_EQ(fill(0).c.gray.gray, 0.25f);
    EXPECT_EQ(fill(1).kind, kFourColor);
    EXPECT_EQ(fill(1).c.cmyk.black, 0.4f);
    EXPECT_EQ(fill(2).kind, kCustomColor);
    EXPECT_EQ(fill(2).c.custom.color, reinterpret_cast<CustomColorHandle>(document.customColors.at("spot").get()));
    EXPECT_EQ(fill(2).c.custom.tint, 0.5f);
    EXPECT_EQ(fill(3).c.custom.tint, 0.0f);
    EXPECT_EQ(fill(4).kind, kPatternColor);
    EXPECT_NE(fill(4).c.pattern.pattern, nullptr);
    EXPECT_EQ(fill(4).c.pattern.pattern, fill(5).c.pattern.pattern);  // one pattern per name
    EXPECT_EQ(fill(6).kind, 42);
    for (uint32_t word : fill(6).c.words) EXPECT_EQ(word, 0u);

    const GradientFill full = fill(7).c.gradient;
    EXPECT_EQ(full.gradient, reinterpret_cast<GradientHandle>(document.gradients.at("g").get()));
    EXPECT_EQ(full.origin.v, 2.0f);
    EXPECT_EQ(full.angle, 30.0f);
    EXPECT_EQ(full.length, 5.0f);
    EXPECT_EQ(full.matrix.ty, 6.0f);
    EXPECT_EQ(full.hiliteAngle, 7.0f);
    EXPECT_EQ(full.hiliteLength, 8.0f);
    const GradientFill defaults = fill(8).c.gradient;
    EXPECT_EQ(defaults.origin.h, 0.0f);
    EXPECT_EQ(defaults.length, 100.0f);
    EXPECT_EQ(defaults.matrix.a, 1.0f);
    EXPECT_EQ(defaults.matrix.b, 0.0f);
    EXPECT_EQ(defaults.matrix.d, 1.0f);
    EXPECT_EQ(defaults.hiliteLength, 0.0f);
}

TEST(Loader, GradientsAndCustomColours) {
    const Document document = LoadDocument(R"({"layers": [],
        "gradients": {"a": {"type": "radial", "stops": [{"position": 80, "color": {"gray": 1}},
                                                         {"position": 10, "midpoint": 30, "color": {"gradient": "b"}}]},
                      "b": {"type": 5}, "c": {}},
        "customColors": {"four": {"cmyk": [0.1, 0.2, 0.3, 0.4]}, "three": {"rgb": [1, 0.5, 0]}, "odd": {"kind": -1}}})");
    const Gradient& a = *document.gradients.at("a");
    EXPECT_EQ(a.type, kRadialGradient);
    ASSERT_EQ(a.stops.size(), 2u);
    EXPECT_EQ(a.stops[0].position, 80.0f);  // array order, not sorted
    EXPECT_EQ(a.stops[0].midpoint, 50.0f);
    EXPECT_EQ(a.stops[1].midpoint, 30.0f);
    EXPECT_EQ(a.stops[1].color.c.gradient.gradient, reinterpret_cast<GradientHandle>(document.gradients.at("b").get()));
    EXPECT_EQ(document.gradients.at("b")->type, 5);
    EXPECT_EQ(document.gradients.at("c")->type, kLinearGradient);
    EXPECT_TRUE(document.gradients.at("c")->stops.empty());

    const CustomColorDefinition four = document.customColors.at("four")->definition;
    EXPECT_EQ(four.kind, kCustomFourColor);
    EXPECT_EQ(four.c.cmyk.yellow, 0.3f);
    const CustomColorDefinition three = document.customColors.at("three")->definition;
    EXPECT_EQ(three.kind, kCustomThreeColor);
    EXPECT_EQ(three.c.rgb.green, 0.5f);
    EXPECT_EQ(document.customColors.at("odd")->definition.kind, -1);
}

TEST(Loader, CompoundMembersTakeTheCompoundsStyleWhenTheyHaveNone) {
    const Document document = LoadDocument(WithChildren(R"({"type": "compound", "guide": true,
        "style": {"fill": {"gray": 1}},
        "children": [{"type": "path", "segments": []},
                     {"type": "path", "segments": [], "style": {"fill": {"rgb": [0, 0, 1]}}}]})"));
    const Art& compound = OnlyChild(document);
    EXPECT_TRUE(compound.guide);
    EXPECT_EQ(compound.children[0]->Style().fill.color.kind, kGrayColor);
    EXPECT_EQ(compound.children[1]->Style().fill.color.kind, kThreeColor);
    // Members are linked like any children.
    EXPECT_EQ(compound.children[0]->next, compound.children[1].get());
    EXPECT_EQ(compound.children[1]->parent, &compound);
}

TEST(Loader, PluginArtHasAResultGroup) {
    const Document document = LoadDocument(WithChildren(R"(
        {"type": "plugin", "pluginName": "Pathfinder Suite", "style": {"fill": {"gray": 0.5}},
         "result": {"type": "group", "children": [{"type": "path", "segments": [[0, 0]]}]}},
        {"type": "plugin", "pluginName": "Other"})"));
    const Art& plugin = OnlyChild(document);
    EXPECT_EQ(plugin.pluginName, "Pathfinder Suite");
    EXPECT_EQ(plugin.Style().fill.color.kind, kGrayColor);
    ASSERT_NE(plugin.result, nullptr);
    EXPECT_EQ(plugin.result->children.size(), 1u);
    EXPECT_EQ(plugin.result->parent, &plugin);
    const Art& empty = *document.layers[0]->children[1];
    ASSERT_NE(empty.result, nullptr);
    EXPECT_EQ(empty.result->type, kGroupArt);
    EXPECT_TRUE(empty.result->children.empty());
}

TEST(Loader, CommonKeys) {
    const Document document =
        LoadDocument(WithChildren(R"({"type": "text", "name": "", "opacity": 0.5, "hidden": true, "bounds": [1, 4, 3, 2]})"));
    const Art& text = OnlyChild(document);
    EXPECT_EQ(text.name, "");
    EXPECT_FALSE(text.defaultName);
    EXPECT_EQ(text.opacity, 0.5f);
    EXPECT_TRUE(text.hidden);
    ASSERT_TRUE(text.bounds.has_value());
    EXPECT_EQ(text.bounds->top, 4.0f);
    EXPECT_EQ(text.bounds->bottom, 2.0f);
}

TEST(LoaderErrors, InvalidJsonNamesLineAndColumn) {
    const std::string message = ErrorOf("{\"layers\": [\n  {\"type\": \"group\",,}\n]}");
    EXPECT_NE(message.find("invalid JSON at line 2, column 20"), std::string::npos) << message;
    EXPECT_NE(ErrorOf("").find("invalid JSON at line 1, column 1"), std::string::npos) << ErrorOf("");
    // A document whose "-0" is rewritten before parsing still reports the place as written.
    const std::string afterZero = ErrorOf("{\"layers\": [-0, -0 x]}");
    EXPECT_NE(afterZero.find("line 1, column 20"), std::string::npos) << afterZero;
}

TEST(LoaderErrors, WrongTypesAndMissingKeysNameTheJsonPath) {
    const struct {
        std::string json;
        std::string expected;
    } cases[] = {
        {"[]", "the document: expected an object"},
        {"{}", "the document: missing key \"layers\""},
        {R"({"layers": {}})", "layers: expected an array"},
        {R"({"layers": [3]})", "layers[0]: expected an art object"},
        {R"({"layers": [{"name": "x"}]})", "layers[0]: missing key \"type\""},
        {WithChildren(R"({"type": "group"}, {"type": "group"}, {"type": "path", "segments": [[0, 0], [1, 1], [0, 0], [1, 1], [0, 0], [1]]})"),
         "layers[0].children[2].segments[5]: expected 2 numbers, found 1"},
        {WithChildren(R"({"type": "path", "segments": [{"anchor": [0, "1"]}]})"),
         "layers[0].children[0].segments[0].anchor[1]: expected a number, found a string"},
        {WithChildren(R"({"type": "path"})"), "layers[0].children[0]: missing key \"segments\""},
        {WithChildren(R"({"type": "path", "segments": [{"in": [0, 0]}]})"), "segments[0]: missing key \"anchor\""},
        {WithChildren(R"({"type": "plugin"})"), "missing key \"pluginName\""},
        {WithChildren(R"({"type": "compound"})"), "missing key \"children\""},
        {WithChildren(R"({"type": "group", "hidden": 1})"), "children[0].hidden: expected true or false, found a number"},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"stroke": {"width": "2"}}})"),
         "children[0].style.stroke.width: expected a number"},
        {R"({"layers": [], "gradients": {"my grad": {"stops": [{"position": 1}]}}})",
         "gradients[\"my grad\"].stops[0]: missing key \"color\""},
    };
    for (const auto& c : cases) {
        const std::string message = ErrorOf(c.json);
        EXPECT_NE(message.find(c.expected), std::string::npos) << "message: " << message << "\nexpected: " << c.expected;
    }
}

TEST(LoaderErrors, UnknownKeysAndNames) {
    const struct {
        std::string json;
        std::string expected;
    } cases[] = {
        {R"({"layers": [], "layer": []})", "the document: unknown key \"layer\""},
        {WithChildren(R"({"type": "group", "segments": []})"), "children[0]: unknown key \"segments\""},
        {WithChildren(R"({"type": "text", "children": []})"), "unknown key \"children\""},
        {WithChildren(R"({"type": 2, "segments": []})"), "unknown key \"segments\" for art of type 2"},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"fil": "none"}})"), "style: unknown key \"fil\""},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"stroke": {"colour": "none"}}})"), "stroke: unknown key \"colour\""},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"fill": {"rgb": [0, 0, 0], "tint": 1}}})"), "fill: unknown key \"tint\""},
        {WithChildren(R"({"type": "circle"})"), "children[0].type: unknown art type \"circle\""},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"fill": {"gradient": "nope"}}})"),
         "style.fill.gradient: unknown gradient \"nope\""},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"fill": {"custom": "nope"}}})"),
         "style.fill.custom: unknown custom colour \"nope\""},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"fill": "red"}})"), "fill: unknown colour \"red\""},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"fill": {"gray": 0, "rgb": [0, 0, 0]}}})"), "one kind"},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"stroke": {"cap": "flat"}}})"), "stroke.cap: unknown value \"flat\""},
        {WithChildren(R"({"type": "compound", "children": [{"type": "group"}]})"), "children[0].children[0]: a compound path's members must be paths"},
        {WithChildren(R"({"type": "plugin", "pluginName": "X", "result": {"type": "path", "segments": []}})"),
         "children[0].result: a plug-in object's result art must be a group"},
        {R"({"layers": [], "customColors": {"c": {"cmyk": [0, 0, 0, 0], "rgb": [0, 0, 0]}}})", "customColors.c: expected exactly one"},
    };
    for (const auto& c : cases) {
        const std::string message = ErrorOf(c.json);
        EXPECT_NE(message.find(c.expected), std::string::npos) << "message: " << message << "\nexpected: " << c.expected;
    }
}

TEST(LoaderErrors, LimitsAndWholeNumbers) {
    std::string segments;
    for (int i = 0; i < 32768; ++i) segments += (i == 0 ? "" : ",") + std::string("[0,0]");
    EXPECT_NE(ErrorOf(WithChildren(R"({"type": "path", "segments": [)" + segments + "]}")).find("at most 32767 segments"),
              std::string::npos);
    segments = segments.substr(6);  // 32767 segments load
    EXPECT_EQ(LoadDocument(WithChildren(R"({"type": "path", "segments": [)" + segments + "]}")).layers[0]->children[0]->segments.size(),
              32767u);

    EXPECT_NE(ErrorOf(WithChildren(R"({"type": "path", "segments": [], "style": {"stroke": {"dashes": [1, 2, 3, 4, 5, 6, 7]}}})"))
                  .find("stroke.dashes: at most 6 dash lengths, found 7"),
              std::string::npos);
    EXPECT_NE(ErrorOf(WithChildren(R"({"type": 1.5})")).find("type: expected a whole number"), std::string::npos);
    EXPECT_NE(ErrorOf(WithChildren(R"({"type": 40000})")).find("type: number out of range"), std::string::npos);
    EXPECT_NE(ErrorOf(WithChildren(R"({"type": "path", "segments": [], "style": {"stroke": {"cap": 0.5}}})"))
                  .find("cap: expected a whole number"),
              std::string::npos);
    EXPECT_NE(ErrorOf(WithChildren(R"({"type": "path", "segments": [[1e39, 0]]})")).find("too large"), std::string::npos);
    // The largest real's own shortest decimal lies a little above it and still rounds down to it;
    // from the midpoint between it and 2^128 on, a number rounds to infinity.
    const Document largest = LoadDocument(
        WithChildren(R"({"type": "path", "segments": [[3.4028235e+38, -3.4028235e38]], "opacity": 3.4028235e38})"));
    EXPECT_EQ(largest.layers[0]->children[0]->segments[0].p.h, std::numeric_limits<HostReal>::max());
    EXPECT_EQ(largest.layers[0]->children[0]->segments[0].p.v, -std::numeric_limits<HostReal>::max());
    EXPECT_EQ(largest.layers[0]->children[0]->opacity, std::numeric_limits<HostReal>::max());
    EXPECT_NE(ErrorOf(WithChildren(R"({"type": "path", "segments": [[3.4028236e38, 0]]})")).find("too large"), std::string::npos);
    EXPECT_NE(ErrorOf(WithChildren(R"({"type": "group", "opacity": -3.4028236e38})")).find("too large"), std::string::npos);
    EXPECT_EQ(LoadDocument(WithChildren(R"({"type": 2.0})")).layers[0]->children[0]->type, kPathArt);
}

// A chain of `levels` nested groups, the outermost being the layer root.
std::string NestedGroups(int levels) {
    std::string json = R"({"layers": [)";
    for (int i = 1; i < levels; ++i) json += R"({"type":"group","children":[)";
    json += R"({"type":"group"})";
    for (int i = 1; i < levels; ++i) json += "]}";
    return json + "]}";
}

TEST(LoaderErrors, DeepNestingIsRefusedWithoutCrashing) {
    // Brackets alone, far deeper than any parser's stack would take.
    const std::string brackets = std::string(1000000, '[') + std::string(1000000, ']');
    EXPECT_NE(ErrorOf(brackets).find("nested more than"), std::string::npos);

    // The deepest tree the host can describe loads (and is taken apart) without recursion...
    const Document deepest = LoadDocument(NestedGroups(kMaxArtLevels));
    const Art* art = deepest.layers[0].get();
    int levels = 1;
    while (!art->children.empty()) {
        art = art->children[0].get();
        ++levels;
    }
    EXPECT_EQ(levels, kMaxArtLevels);
    EXPECT_EQ(art->parent->children[0].get(), art);
    // ...and one level more is refused with a clear message.
    EXPECT_NE(ErrorOf(NestedGroups(kMaxArtLevels + 1)).find("art nested more than 32767 levels deep"), std::string::npos);
}

TEST(LoaderErrors, FilesNameThemselves) {
    try {
        LoadDocumentFile("/nonexistent/drawing.json");
        FAIL() << "no error";
    } catch (const DocumentError& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/drawing.json: cannot open"), std::string::npos);
    }
}

}  // namespace
}  // namespace document

namespace document {
namespace {

TEST(LoaderErrors, NumbersBeyondADoubleNameTheirPlace) {
    const struct {
        std::string json;
        std::string expected;
    } cases[] = {
        {WithChildren(R"({"type": "path", "segments": [[1e999, 0]]})"),
         "layers[0].children[0].segments[0]: number 1e999 too large for a 32-bit real (at line 1, column 75)"},
        {WithChildren(R"({"type": "path", "segments": [{"anchor": [0, -243E494]}]})"),
         "children[0].segments[0]: number -243E494 too large for a 32-bit real (at line 1, column 89)"},
        {WithChildren(R"({"type": "group", "opacity": 1e400})"), "children[0].opacity: number 1e400 too large"},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"stroke": {"width": 2e308}}})"),
         "children[0].style: number 2e308 too large"},
        {R"({"layers": [], "gradients": {"g": {"stops": [{"position": 1e999, "color": "none"}]}}})",
         "gradients: number 1e999 too large"},
        {"{\"layers\": [\n  1e999]}", "layers[0]: number 1e999 too large for a 32-bit real (at line 2, column 3)"},
    };
    for (const auto& c : cases) {
        const std::string message = ErrorOf(c.json);
        EXPECT_NE(message.find(c.expected), std::string::npos) << "message: " << message << "\nexpected: " << c.expected;
        EXPECT_EQ(message.find("json.exception"), std::string::npos) << message;
    }
}

TEST(Loader, KeysMayComeInAnyOrder) {
    // The type after the keys it allows, a compound's style after its members, resources after
    // the colours that name them.
    const Document document = LoadDocument(R"({"layers": [{"children": [
        {"children": [{"segments": [], "type": "path"}, {"style": {}, "type": "path", "segments": []}],
         "style": {"fill": {"gradient": "g"}}, "type": "compound"}], "type": "group"}],
        "gradients": {"g": {"stops": [{"position": 0, "color": {"custom": "c", "tint": 1}}]}},
        "customColors": {"c": {"rgb": [1, 0, 0]}}})");
    const Art& compound = OnlyChild(document);
    EXPECT_EQ(compound.type, kCompoundPathArt);
    EXPECT_EQ(compound.children.at(0)->Style().fill.color.kind, kGradientColor);  // the compound's style
    EXPECT_EQ(compound.children.at(1)->Style().fill.color.kind, kNoneColor);      // its own
    Gradient& gradient = *document.gradients.at("g");
    EXPECT_EQ(compound.Style().fill.color.c.gradient.gradient, reinterpret_cast<GradientHandle>(&gradient));
    EXPECT_EQ(gradient.stops.at(0).color.c.custom.color,
              reinterpret_cast<CustomColorHandle>(document.customColors.at("c").get()));

    // What the type forbids is refused wherever the type comes.
    const struct {
        std::string json;
        std::string expected;
    } cases[] = {
        {WithChildren(R"({"segments": [], "type": "group"})"), "children[0]: unknown key \"segments\" for art of type \"group\""},
        {WithChildren(R"({"children": [{"type": "group"}], "type": "compound"})"),
         "children[0].children[0]: a compound path's members must be paths"},
        {WithChildren(R"({"result": {"type": "group"}, "type": "text"})"), "unknown key \"result\" for art of type \"text\""},
        {WithChildren(R"({"segments": []})"), "children[0]: missing key \"type\""},
        {WithChildren(R"({"type": "path", "segments": [], "style": {"fill": {"gradient": "later"}}})",
                      R"(, "gradients": {"other": {}})"),
         "children[0].style.fill.gradient: unknown gradient \"later\""},
    };
    for (const auto& c : cases) {
        const std::string message = ErrorOf(c.json);
        EXPECT_NE(message.find(c.expected), std::string::npos) << "message: " << message << "\nexpected: " << c.expected;
    }
}

TEST(LoaderErrors, FileErrorsNameTheFile) {
    const std::string path = ::testing::TempDir() + "quillmark-overflow.json";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(R"({"layers": [{"type": "path", "segments": [[1e999, 0]]}]})", file);
        std::fclose(file);
    }
    try {
        LoadDocumentFile(path);
        ADD_FAILURE() << "no error";
    } catch (const DocumentError& error) {
        EXPECT_NE(std::string(error.what()).find(path + ": layers[0].segments[0]: number 1e999 too large"), std::string::npos)
            << error.what();
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace document
