// The export of one document to one XAML file through a loaded module: read, warn about what
// was left out, export under a staged name, and move the finished file into place.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/document_input.h"
#include "cli/staging_folder.h"
#include "substitute/plugin_module.h"
#include "substitute/resource_file.h"

namespace cli {

class PicturesModule;
class StartedPlugin;

enum class FileStatus {
    kExported,
    kExportedWithWarnings,  // something the host's document cannot hold was left out
    kDocumentFailed,        // unreadable, or refused by --strict; nothing written
    kExportFailed,          // the plug-in or the file system failed; nothing written
};

struct FileResult {
    FileStatus status = FileStatus::kExported;
    std::string messages;  // whole lines, each "quillmark: FILE: ...\n"
};

bool Failed(FileStatus status);

// "3 masks left out (first: id "m1")".
std::string LossText(const Loss& loss);

// Writes the losses as warnings, or as errors under --strict, each line after `prefix`.
// Answers whether the document may still be used.
bool ReportLosses(std::ostream& out, const std::string& prefix, const std::vector<Loss>& losses, bool strict);

class FileExporter {
public:
    // `pictures` draws the previews of --preview; it is loaded only when one is drawn.
    FileExporter(substitute::PluginModule& module, std::shared_ptr<const substitute::ResourceFile> resources,
                 const CommandLine& settings, PicturesModule& pictures);
    // Shuts the plug-in down if it is still started.
    ~FileExporter();
    FileExporter(const FileExporter&) = delete;
    FileExporter& operator=(const FileExporter&) = delete;

    FileResult Export(const std::string& input, const std::string& output);
    // Exports a document already read from `input`.
    FileResult Export(const std::string& input, InputDocument document, const std::string& output);

    // Keeps the plug-in started from one export to the next (a batch's), as a host does:
    // started for the first document and shut down by Finish(). A document that leaves anything
    // behind (a failure, an alert, memory still held, ...) has it shut down after its export,
    // and the next starts it afresh. Without this, each export starts and shuts it down.
    void KeepPluginStarted() { keepStarted_ = true; }
    // Shuts the plug-in down if it is still started; answers the message (a line without its end)
    // when that failed, "" when it did not.
    std::string Finish();

    // Told the path of each staging folder once it is made, before the plug-in writes in it, so
    // that whoever outlives a crash of this process can remove it.
    void OnStagingFolder(std::function<void(const std::string&)> handler) { onStaging_ = std::move(handler); }

private:
    // The staging folder of the output's folder, kept for the exports that follow into the same
    // folder. A batch's documents come folder by folder, but a folder's own documents are
    // sorted among its sub-folders, so the few last used are kept. Throws OutputError.
    StagingFolder& StagingFor(const std::string& output);
    void DropStagingFor(const std::string& output);

    bool keepStarted_ = false;
    std::unique_ptr<StartedPlugin> started_;  // between exports only when kept
    std::function<void(const std::string&)> onStaging_;
    std::vector<std::unique_ptr<StagingFolder>> staging_;  // the last used first
    substitute::PluginModule& module_;
    std::shared_ptr<const substitute::ResourceFile> resources_;
    const CommandLine& settings_;
    PicturesModule& pictures_;
};

}  // namespace cli
