// The `quillmark` command: exports a document to XAML through the plug-in module, or
// shows its About box, with the substitute host standing in for the real one.
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/command_line.h"
#include "substitute/host.h"
#include "document/json_loader.h"
#include "substitute/plugin_module.h"
#include "substitute/resource_file.h"

#if defined(_WIN32)
#include "substitute/windows_platform.h"
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace cli {
namespace {

using namespace substitute;
using document::DocumentError;
using document::LoadDocumentFile;

namespace fs = std::filesystem;

constexpr int kExitSuccess = 0;
constexpr int kExitPluginError = 1;
constexpr int kExitUsage = 2;

constexpr int16_t kKeyDown = int16_t(0x8000);
constexpr int16_t kKeyPressedSinceLastQuery = 1;
constexpr int32_t kLeftShift = 0xA0;
constexpr int32_t kRightShift = 0xA1;
constexpr int32_t kErrorDialogId = 16051;

fs::path ProgramDirectory(const char* argv0) {
#if defined(_WIN32)
    (void)argv0;
    return ProgramFile().parent_path();
#else
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) return self.parent_path();
    return fs::absolute(argv0).parent_path();
#endif
}

struct PluginFiles {
    fs::path module;
    fs::path resources;
};

PluginFiles FindPluginFiles(const CommandLine& line, const char* argv0) {
    PluginFiles files;
    files.module = line.plugin ? fs::path(*line.plugin) : ProgramDirectory(argv0) / "Quillmark.aip";
#if defined(_WIN32)
    // On Windows the resources are part of the module: read from it once it is loaded.
    if (line.resources) files.resources = *line.resources;
#else
    files.resources = line.resources ? fs::path(*line.resources) : files.module.parent_path() / "Quillmark.res";
#endif
    return files;
}

// Loads the module, or explains on standard error why it cannot.
std::unique_ptr<PluginModule> LoadModule(const fs::path& path) {
    if (!fs::exists(path)) {
        std::cerr << "quillmark: the plug-in module " << path.string()
                  << " does not exist (build it, or name it with --plugin)\n";
        return nullptr;
    }
    try {
        return std::make_unique<PluginModule>(path.string());
    } catch (const ModuleError& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return nullptr;
    }
}

// Resources are optional for an export (only the dialogs need them).
// An empty path stands for the module's own resources (LoadModuleResources).
bool LoadResources(Host& host, const fs::path& path, bool required) {
    if (path.empty()) return true;
    if (!fs::exists(path)) {
        if (required) std::cerr << "quillmark: the plug-in's resources " << path.string() << " do not exist\n";
        return !required;
    }
    try {
        host.SetResources(std::make_shared<ResourceFile>(ResourceFile::Load(path.string())));
        return true;
    } catch (const ResourceError& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return false;
    }
}

// Reads the resources of the loaded module when no resource file was named (Windows).
bool LoadModuleResources(Host& host, const PluginModule& module, const fs::path& resourceFile) {
#if defined(_WIN32)
    if (!resourceFile.empty()) return true;
    try {
        host.SetResources(std::make_shared<ResourceFile>(ResourceFile::FromModule(module.NativeHandle())));
    } catch (const ResourceError& error) {
        std::cerr << "quillmark: " << module.Path() << ": " << error.what() << "\n";
        return false;
    }
#else
    (void)host, (void)module, (void)resourceFile;
#endif
    return true;
}

void PrintDialog(std::ostream& out, const DialogRun& dialog, const char* indent) {
    for (const std::string& text : dialog.VisibleTexts()) {
        size_t start = 0;
        for (size_t end = text.find('\n'); ; end = text.find('\n', start)) {
            out << indent << text.substr(start, end - start) << "\n";
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
}

// What the plug-in showed on standard error: alerts and dialogs (the About box only when
// asked). Answers whether any of it was an error.
bool ReportWhatWasShown(const Host& host, bool includeAbout) {
    bool error = false;
    for (const std::string& alert : host.Alerts()) {
        std::cerr << "quillmark: the plug-in alerts: " << alert << "\n";
        error = true;
    }
    for (const DialogRun& dialog : host.Dialogs()) {
        if (!includeAbout && dialog.resourceId != kErrorDialogId) continue;
        std::cerr << "quillmark: the plug-in shows the dialog \"" << dialog.caption << "\":\n";
        PrintDialog(std::cerr, dialog, "  ");
        error = error || dialog.resourceId == kErrorDialogId;
    }
    return error;
}

void ReportHostNotes(const Host& host) {
    for (const std::string& problem : host.Problems()) std::cerr << "quillmark: host note: " << problem << "\n";
    const AllocationStats memory = host.Allocations();
    std::cerr << "quillmark: host memory: " << memory.allocations << " blocks allocated, " << memory.releases
              << " freed, " << memory.liveBlocks << " still held (" << memory.liveBytes << " bytes)\n";
    if (host.TotalHeld() != 0) std::cerr << "quillmark: host note: " << host.TotalHeld() << " suites still held\n";
}

void OpenWithDesktopViewer(const std::string& path) {
#if !defined(_WIN32)
    // Started and not waited for, as the desktop's shell would.
    const char* argv[] = {"xdg-open", path.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        std::cerr << "quillmark: cannot run xdg-open to open " << path << "\n";
    }
#else
    OpenWithShell(path);
#endif
}

std::string ErrorText(HostErr error) {
    const uint32_t code = uint32_t(error);
    const uint32_t high = code >> 16;
    if (high == 0 || high == 0xFFFF) return std::to_string(error);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += char((code >> shift) & 0xFF);
    return "'" + text + "'";
}

int Export(const CommandLine& line, const char* argv0) {
    if (line.output.size() >= kFileFormatPathSize) {
        std::cerr << "quillmark: the output path is longer than " << kFileFormatPathSize - 1
                  << " bytes, more than the host's messages can carry\n";
        return kExitUsage;
    }
    Document document;
    try {
        document = LoadDocumentFile(line.document);
    } catch (const DocumentError& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return kExitUsage;
    }
    const PluginFiles files = FindPluginFiles(line, argv0);
    Host host(std::move(document));
    if (!LoadResources(host, files.resources, false)) return kExitUsage;
    host.SetKeyState(kLeftShift, line.leftShiftTapped ? kKeyPressedSinceLastQuery : int16_t(0));
    host.SetKeyState(kRightShift, line.rightShift ? kKeyDown : int16_t(0));
    host.OnOpenRequest([&line](const std::string& path) {
        if (line.verbose) std::cerr << "quillmark: the plug-in asks to open " << path << "\n";
        if (line.open) OpenWithDesktopViewer(path);
    });

    const std::unique_ptr<PluginModule> module = LoadModule(files.module);
    if (!module || !LoadModuleResources(host, *module, files.resources)) return kExitUsage;
    const size_t formatIndex = line.everywhere ? 1 : 0;
    const ExportOutcome outcome = RunExport(host, *module, formatIndex, line.output);

    if (line.verbose) {
        for (const FormatRegistration& format : host.Formats()) {
            std::cerr << "quillmark: format registered: \"" << format.title << "\" (." << format.extension << ")\n";
        }
    }
    bool failed = ReportWhatWasShown(host, true);
    if (outcome.startup != kNoErr) {
        std::cerr << "quillmark: the plug-in's start-up failed with " << ErrorText(outcome.startup) << "\n";
        failed = true;
    } else if (!outcome.exported) {
        std::cerr << "quillmark: the plug-in registered no " << (line.everywhere ? "WPF/E" : "WPF") << " format\n";
        failed = true;
    }
    if (outcome.go != kNoErr) {
        std::cerr << "quillmark: the export failed with " << ErrorText(outcome.go) << "\n";
        failed = true;
    }
    if (outcome.shutdown != kNoErr) {
        std::cerr << "quillmark: the plug-in's shut-down failed with " << ErrorText(outcome.shutdown) << "\n";
        failed = true;
    }
    if (line.verbose) ReportHostNotes(host);
    return failed ? kExitPluginError : kExitSuccess;
}

int About(const CommandLine& line, const char* argv0) {
    const PluginFiles files = FindPluginFiles(line, argv0);
    Host host;
    if (!LoadResources(host, files.resources, true)) return kExitUsage;
    const std::unique_ptr<PluginModule> module = LoadModule(files.module);
    if (!module || !LoadModuleResources(host, *module, files.resources)) return kExitUsage;
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
    const bool failed = ReportWhatWasShown(host, false) || startup != kNoErr;
    if (line.verbose) ReportHostNotes(host);
    if (!shown) {
        std::cerr << "quillmark: the plug-in showed no About box\n";
        return kExitPluginError;
    }
    return failed ? kExitPluginError : kExitSuccess;
}

int Run(int argc, char** argv) {
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
        std::cout << (line.subcommand == Subcommand::kExport  ? kExportHelp
                      : line.subcommand == Subcommand::kAbout ? kAboutHelp
                                                              : kMainHelp);
        return kExitSuccess;
    }
    return line.subcommand == Subcommand::kExport ? Export(line, argv[0]) : About(line, argv[0]);
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
