// The `quillmark` command: exports documents to XAML through the plug-in module, writes the
// document an SVG file becomes as JSON, or shows the plug-in's About box, with the substitute
// host standing in for the real one.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "cli/batch.h"
#include "cli/batch_workers.h"
#include "cli/command_line.h"
#include "cli/document_input.h"
#include "cli/file_export.h"
#include "cli/pictures_loader.h"
#include "cli/plugin_host.h"
#include "cli/temporary_output.h"
#include "document/json_writer.h"

namespace cli {
namespace {

using namespace substitute;

namespace fs = std::filesystem;

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int32_t kErrorDialogId = 16051;

int Export(const CommandLine& line, const char* argv0) {
    const std::string& input = line.documents[0];
    if (line.output.size() >= kFileFormatPathSize) {
        std::cerr << "quillmark: the output path is longer than " << kFileFormatPathSize - 1
                  << " bytes, more than the host's messages can carry\n";
        return kExitUsage;
    }
    std::error_code error;
    if (fs::is_directory(input, error)) {
        std::cerr << "quillmark: " << input << " is a folder; a folder is exported with --out-dir DIR\n";
        return kExitUsage;
    }
    InputDocument document;
    try {
        document = ReadInputDocument(input);
    } catch (const InputError& failure) {
        std::cerr << "quillmark: " << input << ": " << failure.what() << "\n";
        return kExitUsage;
    }
    const PluginFiles files = FindPluginFiles(line, argv0);
    std::shared_ptr<const ResourceFile> resources;
    if (!LoadResourceFile(files, false, resources)) return kExitUsage;
    const std::unique_ptr<PluginModule> module = LoadModule(files.module);
    if (!module || !LoadModuleResources(files, *module, resources)) return kExitUsage;

    PicturesModule pictures(files.pictures);
    const FileResult result =
        FileExporter(*module, resources, line, pictures).Export(input, std::move(document), line.output);
    std::cerr << result.messages;
    switch (result.status) {
        case FileStatus::kDocumentFailed: return kExitUsage;
        case FileStatus::kExportFailed: return kExitFailure;
        default: return kExitSuccess;
    }
}

// Writes the document the file becomes, in JSON.
int Import(const CommandLine& line) {
    const std::string& input = line.documents[0];
    const std::string prefix = "quillmark: " + input + ": ";
    InputDocument document;
    try {
        document = ReadInputDocument(input);
    } catch (const InputError& failure) {
        std::cerr << prefix << failure.what() << "\n";
        return kExitUsage;
    }
    if (!ReportLosses(std::cerr, prefix, document.losses, line.strict)) return kExitUsage;
    std::string json;
    try {
        json = document::DocumentToJson(document.document);
    } catch (const std::invalid_argument& failure) {
        std::cerr << prefix << "cannot be written as JSON: " << failure.what() << "\n";
        return kExitFailure;
    }
    if (line.output == "-") {
        std::cout << json << std::flush;
        return std::cout ? kExitSuccess : kExitFailure;
    }
    try {
        TemporaryOutput file(line.output);
        {
            std::ofstream out(file.Path(), std::ios::binary | std::ios::trunc);
            out << json;
            out.close();
            if (!out) throw OutputError("cannot write " + file.Path().string());
        }
        file.Commit();
    } catch (const OutputError& failure) {
        std::cerr << "quillmark: cannot write " << line.output << ": " << failure.what() << "\n";
        return kExitFailure;
    }
    return kExitSuccess;
}

int About(const CommandLine& line, const char* argv0) {
    const PluginFiles files = FindPluginFiles(line, argv0);
    std::shared_ptr<const ResourceFile> resources;
    if (!LoadResourceFile(files, true, resources)) return kExitUsage;
    const std::unique_ptr<PluginModule> module = LoadModule(files.module);
    if (!module || !LoadModuleResources(files, *module, resources)) return kExitUsage;
    Host host;
    if (resources) host.SetResources(resources);
    PluginSession session(host, *module);
    const HostErr startup = session.Startup();
    if (startup == kNoErr) session.About();
    session.Shutdown();

    bool shown = false;
    for (const DialogRun& dialog : host.Dialogs()) {
        if (dialog.resourceId == kErrorDialogId) continue;
        std::cout << dialog.caption << "\n";
        PrintDialog(std::cout, dialog, "");
        shown = true;
    }
    const bool failed = ReportWhatWasShown(std::cerr, "quillmark: ", host, false) || startup != kNoErr;
    if (line.verbose) ReportHostNotes(std::cerr, "quillmark: ", host);
    if (!shown) {
        std::cerr << "quillmark: the plug-in showed no About box\n";
        return kExitFailure;
    }
    return failed ? kExitFailure : kExitSuccess;
}

#ifdef QUILLMARK_WITH_PREVIEW
// The pictures module's functions, for `preview` and `compare`; null after telling why the
// module cannot be loaded.
const PictureFunctions* LoadPictures(PicturesModule& pictures) {
    try {
        return &pictures.Functions();
    } catch (const PicturesUnavailable& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return nullptr;
    }
}
#endif

const char* HelpOf(Subcommand subcommand) {
    switch (subcommand) {
        case Subcommand::kExport: return kExportHelp;
        case Subcommand::kImport: return kImportHelp;
        case Subcommand::kAbout: return kAboutHelp;
        case Subcommand::kPreview: return kPreviewHelp;
        default: return kMainHelp;
    }
}

int Run(int argc, char** argv) {
#ifdef QUILLMARK_WITH_COMPARE
    if (argc > 1 && std::string(argv[1]) == "compare") {
        PicturesModule pictures(PicturesModuleFile(argv[0]));
        const PictureFunctions* functions = LoadPictures(pictures);
        if (functions == nullptr) return kExitUsage;
        if (functions->runCompare == nullptr) {
            std::cerr << "quillmark: the pictures module was built without the comparison\n";
            return kExitUsage;
        }
        return functions->runCompare(std::vector<std::string>(argv + 2, argv + argc));
    }
#endif
    CommandLine line;
    try {
        line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        const std::string help = error.Command().empty() ? "quillmark --help" : "quillmark " + error.Command() + " --help";
        std::cerr << "quillmark: " << error.what() << "\nTry '" << help << "' for more information.\n";
        return kExitUsage;
    }
    if (line.version) {
        std::cout << "quillmark 0.16\n";
        return kExitSuccess;
    }
    if (line.help) {
        std::cout << HelpOf(line.subcommand);
        return kExitSuccess;
    }
#ifndef QUILLMARK_WITH_PREVIEW
    if (line.subcommand == Subcommand::kPreview || line.preview) {
        std::cerr << "quillmark: this build has no previewer (it is built where cairo is, not for Windows)\n";
        return kExitUsage;
    }
#endif
    switch (line.subcommand) {
#ifdef QUILLMARK_WITH_PREVIEW
        case Subcommand::kPreview: {
            PicturesModule pictures(PicturesModuleFile(argv[0]));
            const PictureFunctions* functions = LoadPictures(pictures);
            return functions != nullptr ? functions->runPreview(line) : kExitUsage;
        }
#endif
        case Subcommand::kExport: return IsBatch(line) ? RunBatch(line, argv[0]) : Export(line, argv[0]);
        case Subcommand::kImport: return Import(line);
        case Subcommand::kWorker: return RunWorker(line, argv[0]);
        default: return About(line, argv[0]);
    }
}

}  // namespace
}  // namespace cli

int main(int argc, char** argv) {
    try {
        return cli::Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return 2;
    }
}
