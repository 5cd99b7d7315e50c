#include "cli/plugin_host.h"

#include <iostream>

#if defined(_WIN32)
#include "substitute/windows_platform.h"
#else
#include <spawn.h>
extern char** environ;
#endif

namespace cli {

namespace fs = std::filesystem;
using namespace substitute;

namespace {

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

}  // namespace

PluginFiles FindPluginFiles(const CommandLine& line, const char* argv0) {
    PluginFiles files;
    files.module = line.plugin ? fs::path(*line.plugin) : ProgramDirectory(argv0) / "Quillmark.aip";
#if defined(_WIN32)
    // On Windows the resources are part of the module: read from it once it is loaded.
    if (line.resources) files.resources = *line.resources;
#else
    files.resources = line.resources ? fs::path(*line.resources) : files.module.parent_path() / "Quillmark.res";
#endif
    files.pictures = PicturesModuleFile(argv0);
    return files;
}

fs::path PicturesModuleFile(const char* argv0) {
#ifdef QUILLMARK_PICTURES_MODULE
    return ProgramDirectory(argv0) / QUILLMARK_PICTURES_MODULE;
#else
    (void)argv0;
    return {};
#endif
}

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

bool LoadResourceFile(const PluginFiles& files, bool required, std::shared_ptr<const ResourceFile>& resources) {
    if (files.resources.empty()) return true;
    if (!fs::exists(files.resources)) {
        if (required) std::cerr << "quillmark: the plug-in's resources " << files.resources.string() << " do not exist\n";
        return !required;
    }
    try {
        resources = std::make_shared<ResourceFile>(ResourceFile::Load(files.resources.string()));
        return true;
    } catch (const ResourceError& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return false;
    }
}

bool LoadModuleResources(const PluginFiles& files, const PluginModule& module,
                         std::shared_ptr<const ResourceFile>& resources) {
#if defined(_WIN32)
    if (!files.resources.empty()) return true;
    try {
        resources = std::make_shared<ResourceFile>(ResourceFile::FromModule(module.NativeHandle()));
    } catch (const ResourceError& error) {
        std::cerr << "quillmark: " << module.Path() << ": " << error.what() << "\n";
        return false;
    }
#else
    (void)files, (void)module, (void)resources;
#endif
    return true;
}

void PrintDialog(std::ostream& out, const DialogRun& dialog, const char* indent) {
    for (const std::string& text : dialog.VisibleTexts()) {
        size_t start = 0;
        for (size_t end = text.find('\n');; end = text.find('\n', start)) {
            out << indent << text.substr(start, end - start) << "\n";
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
}

bool ReportWhatWasShown(std::ostream& out, const std::string& prefix, const Host& host, bool includeAbout) {
    bool error = false;
    for (const std::string& alert : host.Alerts()) {
        out << prefix << "the plug-in alerts: " << alert << "\n";
        error = true;
    }
    for (const DialogRun& dialog : host.Dialogs()) {
        if (!includeAbout && dialog.resourceId != kErrorDialogId) continue;
        out << prefix << "the plug-in shows the dialog \"" << dialog.caption << "\":\n";
        PrintDialog(out, dialog, "  ");
        error = error || dialog.resourceId == kErrorDialogId;
    }
    return error;
}

void ReportHostNotes(std::ostream& out, const std::string& prefix, const Host& host) {
    ReportHostNotes(out, prefix, host, host.Allocations());
}

void ReportHostNotes(std::ostream& out, const std::string& prefix, const Host& host, const AllocationStats& memory) {
    for (const std::string& problem : host.Problems()) out << prefix << "host note: " << problem << "\n";
    out << prefix << "host memory: " << memory.allocations << " blocks allocated, " << memory.releases << " freed, "
        << memory.liveBlocks << " still held (" << memory.liveBytes << " bytes)\n";
    if (host.TotalHeld() != 0) out << prefix << "host note: " << host.TotalHeld() << " suites still held\n";
}

std::string ErrorText(HostErr error) {
    const uint32_t code = uint32_t(error);
    const uint32_t high = code >> 16;
    if (high == 0 || high == 0xFFFF) return std::to_string(error);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += char((code >> shift) & 0xFF);
    return "'" + text + "'";
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

}  // namespace cli
