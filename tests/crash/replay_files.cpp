#include "replay_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "fuzz/driver/clean_error.h"

namespace crash_test {

namespace fs = std::filesystem;

namespace {

std::string ReportText(const fuzz::FuzzInput& input, const fuzz::ExportReport& report) {
    std::string text = std::string("for ") + fuzz::TargetName(input.target);
    if (input.fault) {
        text += " with " + input.fault->operation + " failing after " + std::to_string(input.fault->succeedFirst) +
                " calls";
    }
    text += ":";
    for (const std::string& violation : report.violations) text += "\n  " + violation;
    return text;
}

}  // namespace

std::vector<ReplayFile> ReplayFiles(const std::string& format) {
    std::vector<ReplayFile> files;
    const fs::path folder = fs::path(QUILLMARK_CRASH_FOLDER) / format;
    std::error_code error;
    if (!fs::is_directory(folder, error)) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back({entry.path().string(), entry.path().filename().string()});
    }
    std::sort(files.begin(), files.end(), [](const ReplayFile& a, const ReplayFile& b) { return a.name < b.name; });
    return files;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string TestName(const ReplayFile& file) {
    std::string name = file.name;
    for (char& c : name) {
        const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alphanumeric) c = '_';
    }
    return name;
}

void ExpectCleanExports(const std::function<document::Document()>& load, const fuzz::FuzzInput& input) {
    const fuzz::ExportReport asFound = fuzz::ExportDocument(load(), input);
    EXPECT_TRUE(asFound.violations.empty()) << ReportText(input, asFound);
    for (fuzz::Target target : {fuzz::Target::kWpf, fuzz::Target::kWpfe, fuzz::Target::kDrawingBrush}) {
        const fuzz::FuzzInput plain{target, std::nullopt, input.document};
        const fuzz::ExportReport report = fuzz::ExportDocument(load(), plain);
        EXPECT_TRUE(report.violations.empty()) << ReportText(plain, report);
    }
}

std::string UncleanMessage(const std::string& message, const std::string& fileName) {
    const std::string prefix = fileName + ": ";
    if (message.compare(0, prefix.size(), prefix) != 0) return "it does not start with the file's name";
    const std::string rest = message.substr(prefix.size());
    if (fuzz::IsLibraryMessage(rest)) return "it is the parser library's own text";
    // A line number anywhere, or the path of the bad value (`layers[0].children[2]: ...`).
    static const std::regex line(R"(\bline \d+)");
    static const std::regex valuePath(R"(^(the document|[A-Za-z_]\w*(\[\d+\]|\.[A-Za-z_]\w*)*): )");
    if (!std::regex_search(rest, line) && !std::regex_search(rest, valuePath)) return "it does not say where";
    return {};
}

}  // namespace crash_test
