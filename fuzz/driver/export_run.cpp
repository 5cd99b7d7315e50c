#include "fuzz/driver/export_run.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/plugin_main.h"
#include "shell/platform.h"
#include "substitute/plugin_module.h"
#include "xaml/export_status.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

// A file of this process's own, on a memory file system when there is one: a fuzzer writes
// it hundreds of times a second.
const std::string& ScratchPath() {
    static const std::string path = [] {
        std::error_code error;
        const fs::path folder = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        return (folder / ("quillmark-fuzz-" + std::to_string(getpid()) + ".xaml")).string();
    }();
    return path;
}

std::string ReadAndRemove(const std::string& path, bool keep) {
    std::string text;
    if (keep) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        text = content.str();
    }
    std::error_code ignored;
    fs::remove(path, ignored);
    return text;
}

std::string CodeText(HostErr error) {
    return std::to_string(error);
}

// A query with a null handle is how the plug-in probes for the end of a list of art, and how a
// null answer of a failed query travels on; the host refuses it cleanly. Any other problem
// (a handle the host never gave out, a block freed twice, a suite released but not held) is
// misuse.
bool IsNullHandleQuery(const std::string& problem) {
    const size_t null = problem.find(": null ");
    return null != std::string::npos && problem.size() > 7 && problem.compare(problem.size() - 7, 7, " handle") == 0;
}

void CheckHostUse(const substitute::Host& host, const FuzzInput& input, ExportReport& report) {
    for (const std::string& problem : host.Problems()) {
        if (!IsNullHandleQuery(problem)) report.violations.push_back("host problem: " + problem);
    }
    // A release or a free that the host refuses leaves the suite or the block with the plug-in,
    // which can do nothing about it: only the other faults must leave nothing behind.
    const std::string faulty = input.fault ? input.fault->operation : std::string();
    const bool releaseRefused = faulty == "SP Basic Suite/ReleaseSuite";
    const bool freeRefused = faulty.size() >= 10 && faulty.compare(faulty.size() - 10, 10, "/FreeBlock") == 0;
    if (host.TotalHeld() != 0 && !releaseRefused) {
        report.violations.push_back(std::to_string(host.TotalHeld()) + " suites still held after shut-down");
    }
    const substitute::AllocationStats memory = host.Allocations();
    if (memory.liveBlocks != 0 && !freeRefused) {
        report.violations.push_back(std::to_string(memory.liveBlocks) + " host blocks (" +
                                    std::to_string(memory.liveBytes) + " bytes) still held after shut-down");
    }
    if (input.fault) return;
    // Without a fault nothing explains a failure: every document the reader accepts exports.
    if (report.startup != kNoErr) report.violations.push_back("start-up failed with " + CodeText(report.startup));
    if (!report.exported) report.violations.push_back("no export was run");
    if (report.go != kNoErr && report.go != kExportIncompleteErr) {
        report.violations.push_back("the export failed with " + CodeText(report.go));
    }
    if (report.shutdown != kNoErr) report.violations.push_back("shut-down failed with " + CodeText(report.shutdown));
    if (!host.Alerts().empty()) report.violations.push_back("alert without a fault: " + host.Alerts().front());
}

}  // namespace

std::shared_ptr<const substitute::ResourceFile> PluginResources() {
    static const std::shared_ptr<const substitute::ResourceFile> resources =
        []() -> std::shared_ptr<const substitute::ResourceFile> {
        if (!fs::exists(QUILLMARK_RESOURCE_PATH)) return nullptr;
        return std::make_shared<const substitute::ResourceFile>(
            substitute::ResourceFile::Load(QUILLMARK_RESOURCE_PATH));
    }();
    return resources;
}

ExportReport ExportDocument(substitute::Document document, const FuzzInput& input, bool keepOutput) {
    ExportReport report;
    substitute::Host host(std::move(document));
    host.SetResources(PluginResources());
    host.SetKeyState(kRightShiftKey, input.target == Target::kDrawingBrush ? int16_t(-32768) : int16_t(0));
    if (input.fault) host.FailOperation(input.fault->operation, input.fault->error, input.fault->succeedFirst);

    substitute::PluginModule plugin(&PluginMain);
    const substitute::ExportOutcome outcome =
        substitute::RunExport(host, plugin, input.target == Target::kWpfe ? 1 : 0, ScratchPath());
    report.startup = outcome.startup;
    report.go = outcome.go;
    report.shutdown = outcome.shutdown;
    report.exported = outcome.exported;
    report.output = ReadAndRemove(ScratchPath(), keepOutput);
    CheckHostUse(host, input, report);
    return report;
}

void AbortOnViolations(const ExportReport& report) {
    if (report.violations.empty()) return;
    for (const std::string& violation : report.violations) std::fprintf(stderr, "export fault: %s\n", violation.c_str());
    std::abort();
}

}  // namespace fuzz
