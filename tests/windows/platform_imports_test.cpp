// The module calls the system's GetAsyncKeyState and ShellExecuteA. Loaded by the substitute
// host, it must get the key states the host was told and its open requests must reach the
// host, not the desktop: also after the host has unloaded and reloaded it.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "substitute/host.h"
#include "document/json_loader.h"
#include "substitute/plugin_module.h"
#include "substitute/windows_platform.h"
#include "tests/windows/build_files.h"

#define NOGDI
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

using namespace substitute;
namespace fs = std::filesystem;

constexpr int32_t kLeftShift = 0xA0;
constexpr int32_t kRightShift = 0xA1;
constexpr int16_t kKeyDown = int16_t(0x8000);
constexpr int16_t kPressedSinceLastQuery = 1;

constexpr char kTriangle[] = R"({"layers": [{"type": "group", "children": [
    {"type": "path", "name": "triangle", "closed": true, "style": {"fillPaint": true},
     "segments": [{"anchor": [0, 0]}, {"anchor": [10, 0]}, {"anchor": [10, 10]}]}]}]})";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ExportThroughModule : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("quillmark-imports-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        output_ = (folder_ / "triangle.xaml").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
    std::string output_;
    Host host_{document::LoadDocument(kTriangle)};
    PluginModule module_{BuiltFile("Quillmark.aip")};
};

TEST(RedirectPlatformImports, FindsBothImportsOfTheModule) {
    HMODULE module = LoadLibraryA(BuiltFile("Quillmark.aip").c_str());
    ASSERT_NE(module, nullptr);
    std::vector<std::string> redirected = RedirectPlatformImports(module);
    FreeLibrary(module);
    std::sort(redirected.begin(), redirected.end());
    EXPECT_EQ(redirected, (std::vector<std::string>{"GetAsyncKeyState", "ShellExecuteA"}));
}

TEST_F(ExportThroughModule, RightShiftHeldSelectsTheDrawingBrush) {
    host_.SetKeyState(kRightShift, kKeyDown);
    host_.SetKeyState(kLeftShift, kPressedSinceLastQuery);
    const ExportOutcome outcome = RunExport(host_, module_, 0, output_);
    ASSERT_TRUE(outcome.exported);
    EXPECT_EQ(outcome.go, kNoErr);
    const std::string xaml = ReadFile(output_);
    EXPECT_NE(xaml.find("<GeometryDrawing "), std::string::npos) << xaml;
    EXPECT_TRUE(host_.OpenRequests().empty()) << "a tapped left Shift key turns the open request off";
}

TEST_F(ExportThroughModule, KeysUpWriteTheCanvasAndTheOpenRequestReachesTheHost) {
    const ExportOutcome outcome = RunExport(host_, module_, 0, output_);
    ASSERT_TRUE(outcome.exported);
    EXPECT_EQ(ReadFile(output_).find("<GeometryDrawing "), std::string::npos);
    EXPECT_NE(ReadFile(output_).find("<Canvas Width="), std::string::npos);
    EXPECT_EQ(host_.OpenRequests(), std::vector<std::string>{output_});
}

TEST_F(ExportThroughModule, ReloadedModuleStillAsksTheHost) {
    PluginSession session(host_, module_);
    ASSERT_EQ(session.Startup(), kNoErr);
    ASSERT_EQ(session.UnloadAndReload(), kNoErr);
    host_.SetKeyState(kRightShift, kKeyDown);
    ASSERT_EQ(session.Go(host_.Formats().at(0).handle, output_), kNoErr);
    EXPECT_EQ(session.Shutdown(), kNoErr);
    EXPECT_NE(ReadFile(output_).find("<GeometryDrawing "), std::string::npos);
    EXPECT_EQ(host_.OpenRequests(), std::vector<std::string>{output_});
}

}  // namespace
