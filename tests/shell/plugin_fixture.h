// Loads the built plug-in module into a substitute host with the compiled resources, as the
// host application would, and gives tests a session to send it messages.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "shell/platform.h"
#include "substitute/host.h"
#include "document/json_loader.h"
#include "substitute/plugin_module.h"
#include "substitute/resource_file.h"

namespace shell_test {

inline constexpr HostErr kExportCreateCode = FourCharCode('X', 'C', 'R', 'T');
inline constexpr HostErr kExportWriteCode = FourCharCode('X', 'W', 'R', 'T');
inline constexpr HostErr kExportIncompleteCode = FourCharCode('X', 'F', 'U', 'L');

// One layer holding one filled triangle.
inline substitute::Document TriangleDocument() {
    return document::LoadDocument(R"({"layers": [{"type": "group", "name": "Layer 1", "children": [
        {"type": "path", "name": "Triangle", "closed": true, "segments": [[0, 0], [40, 0], [20, 30]],
         "style": {"fill": {"rgb": [1, 0, 0]}}}]}]})");
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A folder of the test's own, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("quillmark-shell-" + std::string(test->test_suite_name()) + "-" + test->name() + "-" +
                 std::to_string(std::random_device{}()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

class PluginTest : public ::testing::Test {
protected:
    explicit PluginTest(substitute::Document document = TriangleDocument()) : host_(std::move(document)) {
        host_.SetResources(std::make_shared<const substitute::ResourceFile>(
            substitute::ResourceFile::Load(QUILLMARK_RESOURCE_PATH)));
        // A tapped left Shift key: no open request unless a test asks for one.
        host_.SetKeyState(kLeftShiftKey, 1);
    }
    ~PluginTest() override {
        // Whatever the test did, the plug-in used the host correctly.
        EXPECT_TRUE(host_.Problems().empty()) << "first problem: " << host_.Problems().front();
    }

    FileFormatHandle WpfFormat() const { return host_.Formats().at(0).handle; }
    FileFormatHandle WpfeFormat() const { return host_.Formats().at(1).handle; }

    // The texts the plug-in put into the error dialogs shown so far: message and code text.
    std::vector<std::pair<std::string, std::string>> ErrorDialogs() const {
        std::vector<std::pair<std::string, std::string>> shown;
        for (const substitute::DialogRun& run : host_.Dialogs()) {
            if (run.resourceId != 16051) continue;
            shown.emplace_back(run.textsSet.count(2) ? run.textsSet.at(2) : "(not set)",
                               run.textsSet.count(3) ? run.textsSet.at(3) : "(not set)");
        }
        return shown;
    }

    substitute::Host host_;
    substitute::PluginModule module_{QUILLMARK_MODULE_PATH};
    substitute::PluginSession session_{host_, module_};
    ScratchFolder scratch_;
};

}  // namespace shell_test
