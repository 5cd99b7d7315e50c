#include "substitute/host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "host/suite_catalog.h"
#include "document/json_loader.h"

namespace substitute {
namespace {

template <typename Suite>
const Suite* Acquire(Host& host, const char* name, int32_t version) {
    const void* suite = nullptr;
    EXPECT_EQ(host.Basic()->AcquireSuite(name, version, &suite), kNoErr) << name;
    return static_cast<const Suite*>(suite);
}

TEST(SuiteGranting, EverySuiteOfTheTableByNameAndVersion) {
    Host host;
    for (const SuiteId& id : kSuiteTableIds) {
        const void* suite = nullptr;
        ASSERT_EQ(host.Basic()->AcquireSuite(id.name, id.version, &suite), kNoErr) << id.name;
        EXPECT_NE(suite, nullptr) << id.name;
    }
    EXPECT_EQ(host.AcquireCount("AI MdMemory Suite"), 2);  // it stands twice in the table
    EXPECT_EQ(host.TotalHeld(), kSuiteTableRows);
    for (const SuiteId& id : kSuiteTableIds) EXPECT_EQ(host.Basic()->ReleaseSuite(id.name, id.version), kNoErr);
    EXPECT_EQ(host.TotalHeld(), 0);
    EXPECT_EQ(host.ReleaseCount("AI Art Suite"), 1);
}

TEST(SuiteGranting, WrongVersionsUnknownNamesAndUnavailableSuitesFail) {
    Host host;
    const void* suite = &host;
    EXPECT_EQ(host.Basic()->AcquireSuite("AI Art Suite", 9, &suite), kSuiteNotFoundErr);
    EXPECT_EQ(suite, nullptr);
    EXPECT_EQ(host.Basic()->AcquireSuite("AI Art Suite ", 10, &suite), kSuiteNotFoundErr);
    EXPECT_EQ(host.Basic()->AcquireSuite("AI Nonexistent Suite", 1, &suite), kSuiteNotFoundErr);
    EXPECT_EQ(host.AcquireCount("AI Art Suite"), 0);

    host.MakeSuiteUnavailable("ADM Dialog Suite");
    EXPECT_EQ(host.Basic()->AcquireSuite("ADM Dialog Suite", 5, &suite), kSuiteNotFoundErr);
    host.ClearFaults();
    EXPECT_EQ(host.Basic()->AcquireSuite("ADM Dialog Suite", 5, &suite), kNoErr);

    // Giving back what is not held is refused and noted.
    EXPECT_NE(host.Basic()->ReleaseSuite("AI Path Suite", 5), kNoErr);
    EXPECT_FALSE(host.Problems().empty());
}

TEST(SuiteGranting, SuitesThatAreNeverCalledAreEmptyTables) {
    Host host;
    const auto* font = Acquire<HostProc>(host, "ATE Font Suite", 1);
    const auto* mask = Acquire<HostProc>(host, "AI Mask Suite", 3);
    ASSERT_NE(font, nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(font[i], nullptr);
    EXPECT_EQ(mask[0], nullptr);
    // The ones the plug-in calls have their operations in place.
    const auto* art = Acquire<ArtSuite>(host, "AI Art Suite", 10);
    EXPECT_NE(art->GetArtName, nullptr);
    EXPECT_NE(Acquire<ADMItemSuite>(host, "ADM Item Suite", 7)->SetText, nullptr);
}

TEST(SuiteGranting, OnlyOneHostAtATime) {
    Host host;
    EXPECT_EQ(Host::Current(), &host);
    EXPECT_THROW(Host{}, std::logic_error);
}

TEST(BasicSuite, IdentifiersCompareByContent) {
    Host host;
    const std::string copy = "AI Go";
    EXPECT_TRUE(host.Basic()->IsEqual("AI Go", copy.c_str()));
    EXPECT_FALSE(host.Basic()->IsEqual("AI Go", "AI Check"));
    EXPECT_EQ(host.CallCount("SP Basic Suite/IsEqual"), 2);
}

TEST(BasicSuite, EveryAllocationIsCounted) {
    Host host;
    void* a = nullptr;
    void* b = nullptr;
    ASSERT_EQ(host.Basic()->AllocateBlock(100, &a), kNoErr);
    const auto* blocks = Acquire<BlocksSuite>(host, "SP Blocks Suite", 2);
    ASSERT_EQ(blocks->AllocateBlock(8, "globals", &b), kNoErr);
    EXPECT_NE(a, b);
    AllocationStats stats = host.Allocations();
    EXPECT_EQ(stats.allocations, 2u);
    EXPECT_EQ(stats.liveBlocks, 2u);
    EXPECT_EQ(stats.liveBytes, 108u);
    ASSERT_EQ(host.LiveBlocks().size(), 2u);
    const LiveBlock named = host.LiveBlocks()[0].size == 8 ? host.LiveBlocks()[0] : host.LiveBlocks()[1];
    EXPECT_EQ(named.debugName, "globals");
    EXPECT_EQ(host.Basic()->FreeBlock(a), kNoErr);
    EXPECT_EQ(blocks->FreeBlock(b), kNoErr);
    stats = host.Allocations();
    EXPECT_EQ(stats.releases, 2u);
    EXPECT_EQ(stats.liveBlocks, 0u);
    EXPECT_EQ(stats.liveBytes, 0u);
    EXPECT_EQ(stats.totalBytes, 108u);
    EXPECT_TRUE(host.LiveBlocks().empty());

    // A second free of the same block is refused, not passed on to the allocator.
    EXPECT_NE(host.Basic()->FreeBlock(a), kNoErr);
    EXPECT_EQ(host.Allocations().releases, 2u);
    EXPECT_FALSE(host.Problems().empty());

    host.FailOperation("SP Basic Suite/AllocateBlock", kOutOfMemoryErr);
    void* refused = &host;
    EXPECT_EQ(host.Basic()->AllocateBlock(4, &refused), kOutOfMemoryErr);
    EXPECT_EQ(host.Allocations().allocations, 2u);
}

TEST(RealMath, TheDocumentTransformHasPositiveZeros) {
    Host host;
    const auto* math = Acquire<RealMathSuite>(host, "AI Real Math Suite", 1);
    for (float left : {0.0f, -20.0f}) {
        for (float top : {0.0f, 400.0f}) {
            RealMatrix m;
            math->IdentityMatrix(&m);
            math->ConcatScale(&m, 1.0f, -1.0f);
            math->ConcatTranslate(&m, -left, top);
            EXPECT_EQ(m.a, 1.0f);
            EXPECT_EQ(m.b, 0.0f);
            EXPECT_FALSE(std::signbit(m.b));
            EXPECT_FALSE(std::signbit(m.c));
            EXPECT_EQ(m.d, -1.0f);
            EXPECT_EQ(m.tx, -left);
            EXPECT_FALSE(std::signbit(m.tx)) << "left " << left;  // never -0, even for left 0
            EXPECT_EQ(m.ty, top);
            EXPECT_FALSE(std::signbit(m.ty));
            RealPoint corner{left, top}, moved{};
            math->TransformPoint(&m, &corner, &moved);
            EXPECT_EQ(moved.h, 0.0f);
            EXPECT_EQ(moved.v, 0.0f);
        }
    }
}

TEST(RealMath, ConcatenationAppliesTheNewTransformAfterwards) {
    Host host;
    const auto* math = Acquire<RealMathSuite>(host, "AI Real Math Suite", 1);
    RealMatrix m;
    math->IdentityMatrix(&m);
    math->ConcatTranslate(&m, 5.0f, 1.0f);
    math->ConcatScale(&m, 2.0f, 3.0f);  // translated first, then scaled: the offset is scaled too
    EXPECT_EQ(m.tx, 10.0f);
    EXPECT_EQ(m.ty, 3.0f);

    const RealMatrix translate{1, 0, 0, 1, 5, 1}, scale{2, 0, 0, 3, 0, 0};
    RealMatrix product{};
    math->ConcatMatrix(&translate, &scale, &product);
    EXPECT_EQ(product.tx, 10.0f);
    math->ConcatMatrix(&scale, &translate, &product);
    EXPECT_EQ(product.tx, 5.0f);
    // The result may be one of the arguments.
    RealMatrix same = translate;
    math->ConcatMatrix(&same, &scale, &same);
    EXPECT_EQ(same.tx, 10.0f);
    EXPECT_EQ(same.a, 2.0f);
}

TEST(RealMath, EachValueIsRoundedOnceFromDoublePrecision) {
    Host host;
    const auto* math = Acquire<RealMathSuite>(host, "AI Real Math Suite", 1);
    // In single precision 2^24 + 1 + 1 would lose both ones.
    const RealMatrix m{1, 0, 1, 1, 1, 0};
    const RealPoint in{16777216.0f, 1.0f};
    RealPoint out{};
    ASSERT_EQ(math->TransformPoint(&m, &in, &out), kNoErr);
    EXPECT_EQ(out.h, 16777218.0f);

    // tx * 1 + ty * 0 + dx: the full product of a translation, summed before rounding.
    RealMatrix shifted{1, 0, 1, 1, 16777216.0f, 1.0f};
    math->ConcatMatrix(&shifted, &m, &shifted);
    EXPECT_EQ(shifted.tx, 16777218.0f);
    EXPECT_EQ(math->IdentityMatrix(nullptr), kBadParameterErr);
}

TEST(ColorConversion, ToRgb) {
    Host host;
    const auto* convert = Acquire<ColorConversionSuite>(host, "AI Color Conversion Suite", 6);
    HostReal rgb[3] = {};
    HostBool inGamut = 0;
    const HostReal gray[1] = {0.25f};
    ASSERT_EQ(convert->ConvertSamples(kGraySpace, gray, kRGBSpace, rgb, &inGamut), kNoErr);
    EXPECT_EQ(rgb[0], 0.25f);
    EXPECT_EQ(rgb[2], 0.25f);
    EXPECT_TRUE(inGamut);

    const HostReal same[3] = {0.1f, 0.2f, 0.3f};
    convert->ConvertSamples(kRGBSpace, same, kRGBSpace, rgb, &inGamut);
    EXPECT_EQ(rgb[1], 0.2f);

    // (1 - c)(1 - k) in double, rounded once: 0.998000979 where single precision gives 0.998001039.
    const HostReal cmyk[4] = {0.001f, 0.5f, 1.0f, 0.001f};
    ASSERT_EQ(convert->ConvertSamples(kCMYKSpace, cmyk, kRGBSpace, rgb, &inGamut), kNoErr);
    EXPECT_EQ(rgb[0], static_cast<float>((1.0 - double(0.001f)) * (1.0 - double(0.001f))));
    EXPECT_NE(rgb[0], (1.0f - cmyk[0]) * (1.0f - cmyk[3]));
    EXPECT_EQ(rgb[2], 0.0f);

    // Other spaces are errors and leave the destination alone.
    HostReal untouched[3] = {7, 7, 7};
    EXPECT_NE(convert->ConvertSamples(3, cmyk, kRGBSpace, untouched, &inGamut), kNoErr);
    EXPECT_NE(convert->ConvertSamples(kGraySpace, gray, kCMYKSpace, untouched, &inGamut), kNoErr);
    EXPECT_EQ(untouched[0], 7.0f);
}

TEST(UserSuite, NumbersAndLengthPrefixedText) {
    Host host;
    const auto* user = Acquire<UserSuite>(host, "AI User Suite", 6);
    unsigned char text[256];
    ASSERT_EQ(user->NumberToText(-108.0f, 0, text), kNoErr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "-108");
    user->NumberToText(2.5f, 2, text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "2.50");

    HostReal value = 0;
    const unsigned char number[] = "\x03" "271";
    ASSERT_EQ(user->TextToNumber(number, &value), kNoErr);
    EXPECT_EQ(value, 271.0f);
    const unsigned char notNumber[] = "\x04" "SEGM";
    EXPECT_NE(user->TextToNumber(notNumber, &value), kNoErr);
    const unsigned char partial[] = "\x03" "12x";
    EXPECT_NE(user->TextToNumber(partial, &value), kNoErr);
}

// A document that exercises the document suites.
class DocumentSuites : public ::testing::Test {
protected:
    DocumentSuites()
        : host_(document::LoadDocument(R"({"layers": [
              {"type": "group", "children": [
                  {"type": "path", "name": "Wave", "closed": true, "guide": true, "hidden": true, "opacity": 0.5,
                   "segments": [[0, 0], {"anchor": [10, 0], "in": [10, 10]}, [5, -5]],
                   "style": {"fill": {"rgb": [1, 0, 0]}, "evenOdd": true}},
                  {"type": "plugin", "pluginName": "Pathfinder Suite",
                   "result": {"type": "group", "children": [{"type": "path", "segments": [[1, 1]]}]}},
                  {"type": "text"}]},
              {"type": "group", "name": "Empty"}],
              "gradients": {"g": {"type": "radial", "stops": [{"position": 10, "color": {"gray": 1}}]}},
              "customColors": {"c": {"rgb": [0, 1, 0]}}})")) {
        layers_ = Acquire<LayerSuite>(host_, "AI Layer Suite", 9);
        art_ = Acquire<ArtSuite>(host_, "AI Art Suite", 10);
        path_ = Acquire<PathSuite>(host_, "AI Path Suite", 5);
    }

    ArtHandle Root(int32_t n) {
        LayerHandle layer = nullptr;
        ArtHandle root = nullptr;
        EXPECT_EQ(layers_->GetNthLayer(n, &layer), kNoErr);
        EXPECT_EQ(art_->GetFirstArtOfLayer(layer, &root), kNoErr);
        return root;
    }

    ArtHandle FirstChild(ArtHandle art) {
        ArtHandle child = nullptr;
        EXPECT_EQ(art_->GetArtFirstChild(art, &child), kNoErr);
        return child;
    }

    Host host_;
    const LayerSuite* layers_;
    const ArtSuite* art_;
    const PathSuite* path_;
};

TEST_F(DocumentSuites, WalkingTheTreeAndItsEnds) {
    int32_t count = 0;
    ASSERT_EQ(layers_->CountLayers(&count), kNoErr);
    EXPECT_EQ(count, 2);
    LayerHandle layer = reinterpret_cast<LayerHandle>(&count);
    EXPECT_NE(layers_->GetNthLayer(2, &layer), kNoErr);
    EXPECT_EQ(layer, nullptr);

    const ArtHandle wave = FirstChild(Root(0));
    ArtHandle plugin = nullptr, text = nullptr, end = wave;
    ASSERT_EQ(art_->GetArtSibling(wave, &plugin), kNoErr);
    ASSERT_EQ(art_->GetArtSibling(plugin, &text), kNoErr);
    EXPECT_NE(art_->GetArtSibling(text, &end), kNoErr);  // past the end: an error and a null handle
    EXPECT_EQ(end, nullptr);
    end = wave;
    EXPECT_NE(art_->GetArtFirstChild(Root(1), &end), kNoErr);  // an empty group
    EXPECT_EQ(end, nullptr);
    end = wave;
    EXPECT_NE(art_->GetArtFirstChild(nullptr, &end), kNoErr);
    EXPECT_EQ(end, nullptr);
    int16_t type = 99;
    EXPECT_NE(art_->GetArtType(nullptr, &type), kNoErr);
    EXPECT_NE(art_->GetArtType(reinterpret_cast<ArtHandle>(&count), &type), kNoErr);  // not one of ours
    EXPECT_EQ(type, 99);
    EXPECT_EQ(art_->GetArtType(text, &type), kNoErr);
    EXPECT_EQ(type, kTextFrameArt);

    const auto* plugins = Acquire<PluginGroupSuite>(host_, "AI Plugin Group Suite", 3);
    const char* name = nullptr;
    ASSERT_EQ(plugins->GetPluginArtName(plugin, &name), kNoErr);
    EXPECT_STREQ(name, "Pathfinder Suite");
    ArtHandle result = nullptr;
    ASSERT_EQ(plugins->GetPluginArtResultArt(plugin, &result), kNoErr);
    EXPECT_EQ(art_->GetArtType(FirstChild(result), &type), kNoErr);
    EXPECT_EQ(type, kPathArt);
    EXPECT_NE(plugins->GetPluginArtResultArt(wave, &result), kNoErr);
}

TEST_F(DocumentSuites, NamesAttributesBoundsAndOpacity) {
    const ArtHandle wave = FirstChild(Root(0));
    char name[16];
    HostBool isDefault = 1;
    ASSERT_EQ(art_->GetArtName(wave, name, 3, &isDefault), kNoErr);
    EXPECT_STREQ(name, "Wa");  // at most size - 1 bytes and a NUL
    EXPECT_FALSE(isDefault);
    art_->GetArtName(Root(0), name, sizeof name, &isDefault);
    EXPECT_STREQ(name, "Layer 1");
    EXPECT_TRUE(isDefault);

    int32_t attributes = 0;
    art_->GetArtUserAttr(wave, kArtHidden, &attributes);
    EXPECT_EQ(attributes, kArtHidden);
    art_->GetArtUserAttr(wave, 0, &attributes);
    EXPECT_EQ(attributes, 0);
    art_->GetArtUserAttr(Root(0), kArtHidden, &attributes);
    EXPECT_EQ(attributes, 0);

    RealRect bounds{};
    ASSERT_EQ(art_->GetArtBounds(Root(0), &bounds), kNoErr);
    EXPECT_EQ(bounds.left, 0.0f);
    EXPECT_EQ(bounds.bottom, -5.0f);
    EXPECT_EQ(bounds.right, 10.0f);
    EXPECT_GT(bounds.top, 0.0f);  // the curve into (10, 0) bulges upwards

    const auto* blend = Acquire<BlendStyleSuite>(host_, "AI Blend Style Suite", 3);
    EXPECT_EQ(blend->GetOpacity(wave), 0.5f);
    EXPECT_EQ(blend->GetOpacity(Root(0)), 1.0f);
}

TEST_F(DocumentSuites, PathsStylesGradientsAndCustomColours) {
    const ArtHandle wave = FirstChild(Root(0));
    int16_t count = 0;
    ASSERT_EQ(path_->GetPathSegmentCount(wave, &count), kNoErr);
    EXPECT_EQ(count, 3);
    PathSegment segments[3] = {};
    ASSERT_EQ(path_->GetPathSegments(wave, 1, 2, segments), kNoErr);
    EXPECT_EQ(segments[0].in.v, 10.0f);
    EXPECT_EQ(segments[1].p.v, -5.0f);
    EXPECT_NE(path_->GetPathSegments(wave, 2, 2, segments), kNoErr);
    EXPECT_NE(path_->GetPathSegments(wave, -1, 1, segments), kNoErr);
    HostBool flag = 0;
    path_->GetPathClosed(wave, &flag);
    EXPECT_TRUE(flag);
    path_->GetPathIsGuide(wave, &flag);
    EXPECT_TRUE(flag);

    PathStyle style{};
    ASSERT_EQ(Acquire<PathStyleSuite>(host_, "AI Path Style Suite", 5)->GetPathStyle(wave, &style), kNoErr);
    EXPECT_TRUE(style.fillPaint);
    EXPECT_TRUE(style.evenOdd);
    EXPECT_EQ(style.fill.color.c.rgb.red, 1.0f);

    const Document& document = host_.GetDocument();
    const auto gradient = reinterpret_cast<GradientHandle>(document.gradients.at("g").get());
    const auto* gradients = Acquire<GradientSuite>(host_, "AI Gradient Suite", 5);
    int16_t value = 0;
    gradients->GetGradientType(gradient, &value);
    EXPECT_EQ(value, kRadialGradient);
    gradients->GetGradientStopCount(gradient, &value);
    EXPECT_EQ(value, 1);
    GradientStop stop{};
    ASSERT_EQ(gradients->GetNthGradientStop(gradient, 0, &stop), kNoErr);
    EXPECT_EQ(stop.position, 10.0f);
    EXPECT_NE(gradients->GetNthGradientStop(gradient, 1, &stop), kNoErr);
    EXPECT_NE(gradients->GetGradientType(reinterpret_cast<GradientHandle>(&value), &value), kNoErr);

    CustomColorDefinition definition{};
    const auto custom = reinterpret_cast<CustomColorHandle>(document.customColors.at("c").get());
    ASSERT_EQ(Acquire<CustomColorSuite>(host_, "AI Custom Color Suite", 5)->GetCustomColor(custom, &definition), kNoErr);
    EXPECT_EQ(definition.kind, kCustomThreeColor);
    EXPECT_EQ(definition.c.rgb.green, 1.0f);
}

TEST_F(DocumentSuites, NamedOperationsCanBeMadeToFail) {
    const ArtHandle root = Root(0);
    int16_t type = 0;
    host_.FailOperation("AI Art Suite/GetArtType", kBadParameterErr, 1);
    EXPECT_EQ(art_->GetArtType(root, &type), kNoErr);  // the first call still succeeds
    type = 0;
    EXPECT_EQ(art_->GetArtType(root, &type), kBadParameterErr);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(host_.CallCount("AI Art Suite/GetArtType"), 2);
    host_.ClearFaults();
    EXPECT_EQ(art_->GetArtType(root, &type), kNoErr);
    EXPECT_EQ(type, kGroupArt);

    host_.FailOperation("AI Blend Style Suite/GetOpacity");
    EXPECT_EQ(Acquire<BlendStyleSuite>(host_, "AI Blend Style Suite", 3)->GetOpacity(root), 0.0f);
}

// The host remembers where it found its last records (an operation's call counter, the last
// art handle): counts, faults and handles must come out as if it looked them up every time.
TEST_F(DocumentSuites, RepeatedCallsAreCountedFailedAndCheckedLikeTheFirst) {
    const ArtHandle root = Root(0);
    int16_t type = 0;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(art_->GetArtType(root, &type), kNoErr);
    EXPECT_EQ(host_.CallCount("AI Art Suite/GetArtType"), 3);
    host_.ClearRecords();
    EXPECT_EQ(host_.CallCount("AI Art Suite/GetArtType"), 0);
    EXPECT_EQ(art_->GetArtType(root, &type), kNoErr);
    EXPECT_EQ(host_.CallCount("AI Art Suite/GetArtType"), 1);

    host_.FailOperation("AI Art Suite/GetArtType");  // an operation the host has seen already
    EXPECT_EQ(art_->GetArtType(root, &type), kBadParameterErr);
    EXPECT_EQ(host_.CallCount("AI Art Suite/GetArtType"), 2);
    host_.ClearFaults();

    // Built while the old document still exists, so none of its arts can reuse an old address.
    Document next = document::LoadDocument(R"({"layers": [{"type": "group"}]})");
    host_.SetDocument(std::move(next));
    EXPECT_NE(art_->GetArtType(root, &type), kNoErr);  // the old root, found last, is not the new document's
    EXPECT_FALSE(host_.Problems().empty());
}

// Thousands of handles share the table's slots: each must still be found, and an address
// inside an art (a pointer the host never gave out) must not.
TEST(ArtHandles, EveryArtOfALargeDocumentIsKnownAndNothingElse) {
    std::string json = R"({"layers": [{"type": "group", "children": [)";
    for (int i = 0; i < 5000; ++i) json += std::string(i ? "," : "") + R"({"type": "path", "segments": [[0, 0]]})";
    json += "]}]}";
    Host host(document::LoadDocument(json));
    const auto* art = Acquire<ArtSuite>(host, "AI Art Suite", 10);
    std::vector<ArtHandle> handles;
    ArtHandle child = nullptr;
    ASSERT_EQ(art->GetArtFirstChild(reinterpret_cast<ArtHandle>(host.GetDocument().layers[0].get()), &child), kNoErr);
    for (; child != nullptr; art->GetArtSibling(child, &child)) handles.push_back(child);
    ASSERT_EQ(handles.size(), 5000u);
    int16_t type = 0;
    for (ArtHandle handle : handles) {
        ASSERT_EQ(art->GetArtType(handle, &type), kNoErr);
        ASSERT_EQ(type, kPathArt);
    }
    EXPECT_TRUE(host.Problems().empty());
    for (size_t i = 0; i < handles.size(); i += 97) {
        const auto inside = reinterpret_cast<ArtHandle>(reinterpret_cast<char*>(handles[i]) + 8);
        EXPECT_NE(art->GetArtType(inside, &type), kNoErr);
    }
    EXPECT_EQ(host.Problems().size(), (handles.size() + 96) / 97);
}

TEST(FileFormatSuite, RegistrationsAreCopiedDuringTheCall) {
    Host host;
    const auto* formats = Acquire<FileFormatSuite>(host, "AI File Format Suite", 8);
    FileFormatHandle handles[2] = {};
    for (int i = 0; i < 2; ++i) {
        auto* title = new unsigned char[100];
        const char* text = i == 0 ? "First" : "Second";
        title[0] = static_cast<unsigned char>(std::strlen(text));
        std::memcpy(title + 1, text, title[0]);
        const FileFormatRegistration registration{0, title, i, "xaml"};
        ASSERT_EQ(formats->AddFileFormat(host.PluginReference(), i == 0 ? "one" : "two", &registration,
                                         kFileFormatExport, &handles[i]),
                  kNoErr);
        std::memset(title, 'x', 100);  // the plug-in frees its buffer right away
        delete[] title;
    }
    EXPECT_NE(handles[0], nullptr);
    EXPECT_NE(handles[0], handles[1]);
    ASSERT_EQ(host.Formats().size(), 2u);
    const FormatRegistration& second = host.Formats()[1];
    EXPECT_EQ(second.name, "two");
    EXPECT_EQ(second.title, "Second");
    EXPECT_EQ(second.titleOrder, 1);
    EXPECT_EQ(second.extension, "xaml");
    EXPECT_EQ(second.options, kFileFormatExport);
    EXPECT_EQ(second.handle, handles[1]);
    EXPECT_TRUE(host.Problems().empty());
}

}  // namespace
}  // namespace substitute
