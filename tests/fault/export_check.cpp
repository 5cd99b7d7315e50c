#include "tests/fault/export_check.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "document/json_loader.h"
#include "shell/platform.h"
#include "substitute/plugin_module.h"
#include "substitute/resource_file.h"

namespace fault_test {

namespace fs = std::filesystem;

namespace {

// What stands at the output path before every export.
constexpr char kPreviousFile[] = "<!-- the file of an earlier export -->\n";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh document for every host: the host may not share one. The file is read once.
substitute::Document ExampleDocument(const std::string& path) {
    static std::map<std::string, std::string> texts;
    auto it = texts.find(path);
    if (it == texts.end()) it = texts.emplace(path, ReadFile(path)).first;
    return document::LoadDocument(it->second);
}

std::shared_ptr<const substitute::ResourceFile> Resources() {
    static const auto resources =
        std::make_shared<const substitute::ResourceFile>(substitute::ResourceFile::Load(QUILLMARK_RESOURCE_PATH));
    return resources;
}

class ScratchFolder {
public:
    ScratchFolder()
        : path_(fs::temp_directory_path() / ("quillmark-fault-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Start-up, "AI Go" and shut-down of a freshly loaded module in a host of the scenario's
// document, as the command runs them.
void RunScenario(substitute::Host& host, const Scenario& scenario, const fs::path& output) {
    host.SetResources(Resources());
    host.SetKeyState(kLeftShiftKey, 1);  // tapped: no open request
    host.SetKeyState(kRightShiftKey, scenario.mode == Mode::kDrawingBrush ? int16_t(-32768) : int16_t(0));
    substitute::PluginModule module(QUILLMARK_MODULE_PATH);
    substitute::RunExport(host, module, scenario.mode == Mode::kWpfe ? 1 : 0, output.string());
}

const std::map<std::string, int>& CleanCalls(const Scenario& scenario) {
    static std::map<std::string, std::map<std::string, int>> counted;
    const std::string key = Describe(scenario);
    auto it = counted.find(key);
    if (it != counted.end()) return it->second;
    ScratchFolder scratch;
    substitute::Host host(ExampleDocument(scenario.example));
    RunScenario(host, scenario, scratch.path() / "clean.xaml");
    std::map<std::string, int> calls;
    for (const std::string& operation : host.CalledOperations()) calls[operation] = host.CallCount(operation);
    return counted.emplace(key, std::move(calls)).first->second;
}

void XMLCALL IgnoreElement(void*, const XML_Char*, const XML_Char**) {}

}  // namespace

std::vector<Scenario> AllScenarios() {
    std::vector<std::string> examples;
    for (const char* folder : {QUILLMARK_EXAMPLES_DIR, QUILLMARK_FAULT_DOCUMENTS_DIR}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".json") examples.push_back(entry.path().string());
        }
    }
    std::sort(examples.begin(), examples.end());
    std::vector<Scenario> scenarios;
    for (const std::string& example : examples) {
        for (Mode mode : {Mode::kWpf, Mode::kWpfe, Mode::kDrawingBrush}) scenarios.push_back({example, mode});
    }
    return scenarios;
}

std::string Describe(const Scenario& scenario) {
    const char* mode = scenario.mode == Mode::kWpf ? "WPF" : scenario.mode == Mode::kWpfe ? "WPF/E" : "drawing brush";
    return fs::path(scenario.example).stem().string() + " (" + mode + ")";
}

int CallsInCleanExport(const Scenario& scenario, const std::string& operation) {
    const auto& calls = CleanCalls(scenario);
    auto it = calls.find(operation);
    return it == calls.end() ? 0 : it->second;
}

std::vector<std::string> OperationsOfCleanExport(const Scenario& scenario) {
    std::vector<std::string> operations;
    for (const auto& [operation, count] : CleanCalls(scenario)) operations.push_back(operation);
    return operations;
}

bool IsWellFormedXml(const std::string& text, std::string* error) {
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"),
                                                                                          XML_ParserFree);
    XML_SetElementHandler(parser.get(), IgnoreElement, nullptr);
    if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_OK) return true;
    if (error != nullptr) {
        *error = std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
                 std::to_string(XML_GetCurrentLineNumber(parser.get())) + ", column " +
                 std::to_string(XML_GetCurrentColumnNumber(parser.get()));
    }
    return false;
}

Misbehaviour ExportAndCheck(const Scenario& scenario, const std::function<void(substitute::Host&)>& misbehave,
                            const std::string& what, const std::string& operation, bool refused) {
    const std::string refusedOperation = refused ? operation : "";
    SCOPED_TRACE(Describe(scenario) + ", " + what);
    ScratchFolder scratch;
    const fs::path output = scratch.path() / "drawing.xaml";
    std::ofstream(output, std::ios::binary) << kPreviousFile;

    substitute::Host host(ExampleDocument(scenario.example));
    misbehave(host);
    RunScenario(host, scenario, output);

    if (refusedOperation != "SP Basic Suite/ReleaseSuite") {
        EXPECT_EQ(host.TotalHeld(), 0) << "suites left held";
    }
    const size_t refusedFrees = refusedOperation == "SP Basic Suite/FreeBlock" ||
                                        refusedOperation == "SP Blocks Suite/FreeBlock"
                                    ? static_cast<size_t>(host.CallCount(refusedOperation))
                                    : 0;
    EXPECT_LE(host.LiveBlocks().size(), refusedFrees) << "host memory left held";
    for (const std::string& problem : host.Problems()) {
        EXPECT_EQ(problem.find("freed already"), std::string::npos) << problem;
        EXPECT_EQ(problem.find("which is not held"), std::string::npos) << problem;
    }

    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(scratch.path())) files.push_back(entry.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{"drawing.xaml"}) << "files other than the output beside it";
    const Misbehaviour seen{host.CallCount(operation), host.NonsenseGiven()};
    const std::string written = ReadFile(output);
    if (written == kPreviousFile) return seen;
    std::string error;
    EXPECT_TRUE(IsWellFormedXml(written, &error)) << "a partial or malformed file: " << error << "\n"
                                                  << written.substr(0, 2000);
    return seen;
}

}  // namespace fault_test
