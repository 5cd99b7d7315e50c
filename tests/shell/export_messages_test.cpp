// The file-format messages: which target "AI Go" writes, what the other selectors answer,
// how the output path is taken from the message, and how failed exports are reported.
#include <cstring>
#include <string>

#include "plugin_fixture.h"

namespace shell_test {
namespace {

constexpr char kViewbox[] = "<Viewbox";
constexpr char kClientNamespace[] = "http://schemas.microsoft.com/client/2007";

class ExportMessages : public PluginTest {
protected:
    void SetUp() override { ASSERT_EQ(session_.Startup(), kNoErr); }
};

TEST_F(ExportMessages, EachFormatWritesItsOwnTarget) {
    const std::string wpf = scratch_.File("wpf.xaml");
    const std::string wpfe = scratch_.File("wpfe.xaml");
    ASSERT_EQ(session_.Go(WpfFormat(), wpf), kNoErr);
    ASSERT_EQ(session_.Go(WpfeFormat(), wpfe), kNoErr);

    const std::string wpfText = ReadFile(wpf);
    EXPECT_NE(wpfText.find(kViewbox), std::string::npos);
    EXPECT_EQ(wpfText.find(kClientNamespace), std::string::npos);
    EXPECT_NE(wpfText.find("<!-- Layer 1/Triangle -->"), std::string::npos);

    const std::string wpfeText = ReadFile(wpfe);
    EXPECT_EQ(wpfeText.find(kViewbox), std::string::npos);
    EXPECT_NE(wpfeText.find(kClientNamespace), std::string::npos);
    EXPECT_TRUE(host_.Dialogs().empty());
}

TEST_F(ExportMessages, AHandleOfNoRegisteredFormatWritesWpf) {
    static int someOtherFormat;
    const std::string path = scratch_.File("unknown.xaml");
    ASSERT_EQ(session_.Go(reinterpret_cast<FileFormatHandle>(&someOtherFormat), path), kNoErr);
    EXPECT_NE(ReadFile(path).find(kViewbox), std::string::npos);
    ASSERT_EQ(session_.Go(nullptr, path), kNoErr);
    EXPECT_NE(ReadFile(path).find(kViewbox), std::string::npos);
}

TEST_F(ExportMessages, GoWithoutTheExportOptionWritesNothing) {
    const std::string path = scratch_.File("not-exported.xaml");
    EXPECT_EQ(session_.Go(WpfFormat(), path, 0), kNoErr);
    EXPECT_EQ(session_.Go(WpfeFormat(), path, 1 | 4), kNoErr);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ExportMessages, CheckAndGetParametersAnswerWithoutDialogsOrFiles) {
    EXPECT_EQ(session_.Check(WpfFormat()), 0);
    EXPECT_EQ(session_.Check(WpfeFormat()), 1);
    EXPECT_EQ(session_.Check(nullptr), 0);
    EXPECT_EQ(session_.GetParameters(WpfFormat()), kNoErr);
    EXPECT_EQ(session_.GetParameters(WpfeFormat()), kNoErr);
    EXPECT_EQ(session_.SendFileFormat("AI Something Else", WpfeFormat(), scratch_.File("x.xaml"), kFileFormatExport),
              kNoErr);
    EXPECT_TRUE(host_.Dialogs().empty());
    EXPECT_TRUE(std::filesystem::is_empty(scratch_.path()));
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(ExportMessages, APathThatFillsTheFieldReachesTheExportUnchanged) {
    // Folders of 50 characters, then a file name of at least 10 up to 299 bytes; the
    // terminator takes the last byte of the field.
    std::string path = scratch_.path().string();
    while (path.size() + 51 + 11 <= 299) path += "/" + std::string(50, 'd');
    std::filesystem::create_directories(path);
    path += "/" + std::string(299 - path.size() - 1, 'f');
    ASSERT_EQ(path.size(), 299u);

    host_.SetKeyState(kLeftShiftKey, 0);  // the open request shows the path the export got
    ASSERT_EQ(session_.Go(WpfFormat(), path), kNoErr);
    EXPECT_TRUE(std::filesystem::exists(path));
    ASSERT_EQ(host_.OpenRequests().size(), 1u);
    EXPECT_EQ(host_.OpenRequests()[0], path);
}

TEST_F(ExportMessages, APathWithoutTerminatorInItsFieldIsNotReadBeyondIt) {
    // A folder name, then the file name up to the last byte of the field, no terminator;
    // the option flags right after the field would read as one more character.
    std::string path = scratch_.path().string() + "/";
    path += std::string(kFileFormatPathSize - path.size(), 'x');
    ASSERT_EQ(path.size(), kFileFormatPathSize);
    ASSERT_LT(path.size() - scratch_.path().string().size(), 255u);

    FileFormatMessage message{};
    message.d = MessageRecord{0, host_.PluginReference(), session_.SavedGlobals(), host_.Basic()};
    message.format = WpfFormat();
    std::memcpy(message.path, path.data(), kFileFormatPathSize);
    message.option = kFileFormatExport;
    EXPECT_EQ(module_.Call("AI File Format", "AI Go", &message), kBadParameterErr);
    EXPECT_TRUE(std::filesystem::is_empty(scratch_.path())) << "a file was written under a cut-short name";
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].second, "PARM");
}

TEST_F(ExportMessages, AFileThatCannotBeCreatedIsReported) {
    const std::string path = scratch_.File("no-such-folder/out.xaml");
    EXPECT_EQ(session_.Go(WpfFormat(), path), kExportCreateCode);
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].first,
              "The XAML file could not be created. Check that its folder exists and that you may write to it.");
    EXPECT_EQ(ErrorDialogs()[0].second, "XCRT");
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(ExportMessages, AWriteThatFailsIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    EXPECT_EQ(session_.Go(WpfFormat(), "/dev/full"), kExportWriteCode);
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].first,
              "The XAML file could not be written in full; the disk may be full. No partial file was left, and an "
              "earlier file of that name is unchanged.");
    EXPECT_EQ(ErrorDialogs()[0].second, "XWRT");
}

// A layer with more paths than one export can take.
substitute::Document CrowdedDocument() {
    substitute::Document document;
    auto root = std::make_unique<substitute::Art>();
    root->name = "Crowd";
    for (int i = 0; i < 16200; ++i) {
        auto path = std::make_unique<substitute::Art>();
        path->type = kPathArt;
        path->name = "Dot";
        path->segments.push_back(PathSegment{{float(i % 100), float(i / 100)}, {}, {}, 1});
        root->Add(std::move(path));
    }
    document.layers.push_back(std::move(root));
    document.Link();
    return document;
}

class CrowdedExport : public PluginTest {
protected:
    CrowdedExport() : PluginTest(CrowdedDocument()) {}
};

TEST_F(CrowdedExport, AnIncompleteExportIsReported) {
    ASSERT_EQ(session_.Startup(), kNoErr);
    const std::string path = scratch_.File("crowd.xaml");
    EXPECT_EQ(session_.Go(WpfFormat(), path), kExportIncompleteCode);
    EXPECT_TRUE(std::filesystem::exists(path)) << "what fits is still written";
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].first,
              "The XAML file is incomplete: the document has more than 16192 art objects, and only the first 16192 "
              "were exported.");
    EXPECT_EQ(ErrorDialogs()[0].second, "XFUL");
}

}  // namespace
}  // namespace shell_test
