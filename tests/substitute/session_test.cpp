// The host's side of the message protocol, driven against a small plug-in of the test's own,
// and the platform stand-ins that the real plug-in looks up at run time.
#ifndef _WIN32
#include <dlfcn.h>
#endif
#include <gtest/gtest.h>

#include <cstring>

#include "substitute/plugin_module.h"

namespace substitute {
namespace {

// What the test plug-in saw.
struct Seen {
    std::vector<std::string> messages;
    FileFormatHandle format = nullptr;
    std::string path;
    int32_t option = 0;
    void* savedGlobals = nullptr;
};
Seen sSeen;
int sGlobalsToken;

// Registers two formats on start-up like the real plug-in, keeps a globals pointer through
// unload and reload, and reports what each file-format message carried.
int32_t TestPluginMain(const char* caller, const char* selector, void* data) {
    auto* message = static_cast<MessageRecord*>(data);
    sSeen.messages.push_back(std::string(caller) + "/" + selector);
    sSeen.savedGlobals = message->savedGlobals;
    const BasicSuite* basic = message->basic;
    if (basic->IsEqual(selector, "Startup")) {
        const void* suite = nullptr;
        if (basic->AcquireSuite("AI File Format Suite", 8, &suite) != kNoErr) return kSuiteNotFoundErr;
        const auto* formats = static_cast<const FileFormatSuite*>(suite);
        const unsigned char title[] = "\x01T";
        const FileFormatRegistration registration{0, title, 0, "xaml"};
        FileFormatHandle handle = nullptr;
        formats->AddFileFormat(message->self, "first", &registration, kFileFormatExport, &handle);
        formats->AddFileFormat(message->self, "second", &registration, kFileFormatExport, &handle);
        basic->ReleaseSuite("AI File Format Suite", 8);
    } else if (basic->IsEqual(selector, "Unload")) {
        message->savedGlobals = &sGlobalsToken;
    } else if (basic->IsEqual(caller, "AI File Format")) {
        const auto* fileFormat = static_cast<FileFormatMessage*>(data);
        sSeen.format = fileFormat->format;
        sSeen.path = fileFormat->path;
        sSeen.option = fileFormat->option;
        if (basic->IsEqual(selector, "AI Go") && sSeen.path == "fail") return FourCharCode('X', 'C', 'R', 'T');
    }
    return kNoErr;
}

class Session : public ::testing::Test {
protected:
    Session() { sSeen = Seen{}; }
    Host host_;
    PluginModule module_{TestPluginMain};
};

TEST_F(Session, AnExportIsStartupGoAndShutdown) {
    const ExportOutcome outcome = RunExport(host_, module_, 1, "/tmp/out.xaml");
    EXPECT_TRUE(outcome.exported);
    EXPECT_EQ(outcome.go, kNoErr);
    const std::vector<std::string> expected = {"SP Interface/Startup", "AI File Format/AI Go", "SP Interface/Shutdown"};
    EXPECT_EQ(sSeen.messages, expected);
    ASSERT_EQ(host_.Formats().size(), 2u);
    EXPECT_EQ(sSeen.format, host_.Formats()[1].handle);  // index 1 is the second registration
    EXPECT_EQ(sSeen.path, "/tmp/out.xaml");
    EXPECT_EQ(sSeen.option, kFileFormatExport);
    EXPECT_EQ(host_.TotalHeld(), 0);

    EXPECT_EQ(RunExport(host_, module_, 0, "fail").go, FourCharCode('X', 'C', 'R', 'T'));
    EXPECT_EQ(sSeen.format, host_.Formats()[2].handle);
}

TEST_F(Session, NoExportWithoutTheFormatOrAfterAFailedStartup) {
    ExportOutcome outcome = RunExport(host_, module_, 2, "/tmp/out.xaml");
    EXPECT_FALSE(outcome.exported);
    host_.MakeSuiteUnavailable("AI File Format Suite");
    outcome = RunExport(host_, module_, 0, "/tmp/out.xaml");
    EXPECT_EQ(outcome.startup, kSuiteNotFoundErr);
    EXPECT_FALSE(outcome.exported);
    EXPECT_EQ(sSeen.messages.back(), "SP Interface/Shutdown");  // shut down all the same
}

TEST_F(Session, SavedGlobalsSurviveUnloadAndReload) {
    PluginSession session(host_, module_);
    session.Startup();
    EXPECT_EQ(session.UnloadAndReload(), kNoErr);
    EXPECT_EQ(sSeen.messages.back(), "SP Access/Reload");
    EXPECT_EQ(sSeen.savedGlobals, &sGlobalsToken);  // handed back on reload
    session.Check(nullptr);
    EXPECT_EQ(sSeen.savedGlobals, &sGlobalsToken);
}

TEST_F(Session, PathsMustFitTheMessage) {
    PluginSession session(host_, module_);
    const std::string longest(299, 'p');
    EXPECT_EQ(session.Go(nullptr, longest), kNoErr);
    EXPECT_EQ(sSeen.path, longest);
    EXPECT_THROW(session.Go(nullptr, longest + "p"), std::length_error);
}

TEST(PluginModuleLoading, MissingModulesAndEntryPointsAreClearErrors) {
    try {
        PluginModule module("/nonexistent/Quillmark.aip");
        FAIL() << "loaded";
    } catch (const ModuleError& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/Quillmark.aip"), std::string::npos);
    }
    try {
#ifdef _WIN32
        PluginModule module("kernel32.dll");  // a system module, without the entry point
#else
        PluginModule module("libm.so.6");
#endif
        FAIL() << "loaded";
    } catch (const ModuleError& error) {
        EXPECT_NE(std::string(error.what()).find("no entry point PluginMain"), std::string::npos) << error.what();
    }
}

#ifndef _WIN32
// On Windows the host redirects the module's imports instead (tests/windows).
TEST(PlatformStandIns, ThePluginFindsThemInTheHostingProgram) {
    auto keyState = reinterpret_cast<int16_t (*)(int32_t)>(dlsym(RTLD_DEFAULT, "QuillmarkPlatformKeyState"));
    auto open = reinterpret_cast<void (*)(const char*)>(dlsym(RTLD_DEFAULT, "QuillmarkPlatformOpen"));
    ASSERT_NE(keyState, nullptr);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(keyState(0xA1), 0);  // no host: every key is up
    Host host;
    host.SetKeyState(0xA1, int16_t(0x8000));
    host.SetKeyState(0xA0, 1);
    EXPECT_EQ(keyState(0xA1), int16_t(0x8000));
    EXPECT_EQ(keyState(0xA0), 1);
    EXPECT_EQ(keyState(0x41), 0);
    std::string handled;
    host.OnOpenRequest([&handled](const std::string& path) { handled = path; });
    open("/tmp/drawing.xaml");
    EXPECT_EQ(host.OpenRequests(), std::vector<std::string>{"/tmp/drawing.xaml"});
    EXPECT_EQ(handled, "/tmp/drawing.xaml");
}
#endif

}  // namespace
}  // namespace substitute
