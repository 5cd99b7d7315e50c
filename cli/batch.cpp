#include "cli/batch.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <optional>

#include "cli/batch_memory.h"
#include "cli/batch_plan.h"
#include "cli/batch_progress.h"
#include "cli/batch_workers.h"
#include "cli/document_input.h"
#include "cli/file_export.h"
#include "cli/pictures_loader.h"
#include "cli/plugin_host.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailures = 1;
constexpr int kExitUsage = 2;

// Prints results in the order of the documents, whatever order they finish in, so that the
// messages of a batch are the same however many workers export it.
class OrderedResults {
public:
    OrderedResults(const std::vector<BatchItem>& items, BatchProgress& progress)
        : items_(items), progress_(progress), results_(items.size()) {}

    void Deliver(size_t index, FileResult result) {
        results_[index] = std::move(result);
        while (next_ < results_.size() && results_[next_]) {
            progress_.Finished(items_[next_].input, *results_[next_]);
            results_[next_].reset();
            ++next_;
        }
    }

private:
    const std::vector<BatchItem>& items_;
    BatchProgress& progress_;
    std::vector<std::optional<FileResult>> results_;
    size_t next_ = 0;
};

// Makes the folders the outputs go into when they are missing. The documents of a folder come
// one after the other, so a folder is looked at once, when its first document comes.
class OutputFolders {
public:
    // Answers the failure when the item's folder cannot be made.
    std::optional<FileResult> Prepare(const BatchItem& item) {
        fs::path folder = fs::path(item.output).parent_path();
        if (folder.empty() || folder == lastReady_) return std::nullopt;
        std::error_code error;
        if (!fs::is_directory(folder, error)) fs::create_directories(folder, error);
        if (error) {
            return FileResult{FileStatus::kExportFailed, "quillmark: " + item.input + ": cannot make the folder " +
                                                             folder.string() + ": " + error.message() + "\n"};
        }
        lastReady_ = std::move(folder);
        return std::nullopt;
    }

private:
    fs::path lastReady_;
};

}  // namespace

int RunBatch(const CommandLine& line, const char* argv0) {
    const fs::path outDir = *line.outDir;
    std::error_code error;
    fs::create_directories(outDir, error);
    if (error || !fs::is_directory(outDir)) {
        std::cerr << "quillmark: cannot make the output folder " << outDir.string() << ": "
                  << (error ? error.message() : "a file of that name is in the way") << "\n";
        return kExitUsage;
    }
    std::vector<std::string> extensions = {".json"};
    if (ReadsSvg()) extensions.insert(extensions.end(), {".svg", ".svgz"});
    std::vector<std::string> problems;
    const std::vector<BatchItem> items = PlanBatch(line.documents, outDir, extensions, problems);
    for (const std::string& problem : problems) std::cerr << "quillmark: " << problem << "\n";

    // Only a worker can be stopped when it takes too long.
    const bool wantWorkers = (line.jobs > 1 && items.size() > 1) || line.timeout > 0;
    const bool parallel = wantWorkers && WorkersAvailable();
    if (wantWorkers && !WorkersAvailable()) {
        std::cerr << "quillmark: note: worker processes (-j, --timeout) are not available on this platform; the"
                     " documents are exported one at a time, without a time limit\n";
    }

    // The sequential batch loads the module here, once; workers load it themselves.
    const PluginFiles files = FindPluginFiles(line, argv0);
    std::shared_ptr<const substitute::ResourceFile> resources;
    std::unique_ptr<substitute::PluginModule> module;
    if (!parallel && !items.empty()) {
        KeepFreedMemoryForTheNextDocument();
        if (!LoadResourceFile(files, false, resources)) return kExitUsage;
        module = LoadModule(files.module);
        if (!module || !LoadModuleResources(files, *module, resources)) return kExitUsage;
    }

    BatchProgress progress(items.size(), BatchProgress::StandardErrorIsTerminal());
    OrderedResults results(items, progress);
    std::vector<WorkerJob> jobs;
    PicturesModule pictures(files.pictures);
    OutputFolders folders;
    std::optional<FileExporter> exporter;
    if (module) {
        exporter.emplace(*module, resources, line, pictures);
        exporter->KeepPluginStarted();
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const BatchItem& item = items[i];
        if (!item.refusal.empty()) {
            results.Deliver(i, {FileStatus::kExportFailed, "quillmark: " + item.input + ": " + item.refusal + "\n"});
            continue;
        }
        if (std::optional<FileResult> failure = folders.Prepare(item)) {
            results.Deliver(i, std::move(*failure));
            continue;
        }
        if (parallel) {
            jobs.push_back({i, item.input, item.output});
        } else {
            results.Deliver(i, exporter->Export(item.input, item.output));
        }
    }
    // Each worker shuts its plug-in down itself, and says so when that fails.
    bool workerFailed = false;
    if (parallel && !jobs.empty()) {
        const bool ran = RunInWorkers(jobs, line.jobs, line.timeout, WorkerArguments(line),
                                      [&results](size_t index, FileResult result) { results.Deliver(index, std::move(result)); },
                                      workerFailed);
        if (!ran) return kExitUsage;
    }
    const std::string shutdownFailure = exporter ? exporter->Finish() : "";
    if (!shutdownFailure.empty()) progress.Note(shutdownFailure);
    const bool failed = progress.Summary();
    return failed || workerFailed || !shutdownFailure.empty() || !problems.empty() ? kExitFailures : kExitSuccess;
}

}  // namespace cli
