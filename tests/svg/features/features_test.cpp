// Every tests/svg/features/<feature>/<case>.svg read into the document model: the document, as
// the JSON writer writes it, must equal <case>.json; the losses reported must equal
// <case>.losses (absent: none); the document must export through the plug-in, to the same
// bytes after a round trip through its JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/json_loader.h"
#include "document/json_writer.h"
#include "document/svg/svg_reader.h"
#include "export_through_module.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Cases() {
    std::vector<std::string> cases;
    for (const auto& entry : fs::recursive_directory_iterator(QUILLMARK_FEATURES_DIR)) {
        if (entry.path().extension() == ".svg") {
            cases.push_back(fs::relative(entry.path(), QUILLMARK_FEATURES_DIR).replace_extension().string());
        }
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string LossText(const document::svg::LossReport& losses) {
    std::string text;
    for (const auto& entry : losses.Entries()) {
        text += entry.kind + ": " + std::to_string(entry.count) + ", first " + entry.first + "\n";
    }
    return text;
}

bool Regenerating() {
    const char* flag = std::getenv("QUILLMARK_REGENERATE");
    return flag != nullptr && std::string(flag) == "1";
}

class Feature : public ::testing::TestWithParam<std::string> {};

TEST_P(Feature, BecomesItsDocumentAndExports) {
    const fs::path base = fs::path(QUILLMARK_FEATURES_DIR) / GetParam();
    fs::path svg = base;
    svg += ".svg";
    fs::path json = base;
    json += ".json";
    fs::path lossFile = base;
    lossFile += ".losses";

    document::svg::ReadResult result = document::svg::ReadSvgFile(svg.string());
    const std::string written = document::DocumentToJson(result.document);
    const std::string losses = LossText(result.losses);
    if (Regenerating()) {
        Write(json, written);
        if (losses.empty()) {
            fs::remove(lossFile);
        } else {
            Write(lossFile, losses);
        }
    } else {
        ASSERT_TRUE(fs::exists(json)) << json << " is missing: run with QUILLMARK_REGENERATE=1 and read it";
        EXPECT_EQ(written, Read(json));
        EXPECT_EQ(losses, fs::exists(lossFile) ? Read(lossFile) : std::string());
    }

    const std::string xaml = svg_test::ExportXaml(std::move(result.document));
    ASSERT_FALSE(xaml.empty());
    // For reading or drawing the exports: QUILLMARK_FEATURES_XAML names a folder to write them to.
    if (const char* folder = std::getenv("QUILLMARK_FEATURES_XAML")) {
        fs::path out = fs::path(folder) / GetParam();
        out += ".xaml";
        fs::create_directories(out.parent_path());
        Write(out, xaml);
    }
    EXPECT_NE(xaml.find("\n</Viewbox>"), std::string::npos);
    EXPECT_EQ(svg_test::ExportXaml(document::LoadDocument(written)), xaml)
        << "the written JSON exports differently from the document read";
}

INSTANTIATE_TEST_SUITE_P(Svg, Feature, ::testing::ValuesIn(Cases()), [](const auto& param) {
    std::string name = param.param;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

}  // namespace
