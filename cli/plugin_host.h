// Finding and loading the plug-in module and its resources, and telling what the plug-in
// showed while the substitute host ran it.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "cli/command_line.h"
#include "substitute/host.h"
#include "substitute/plugin_module.h"
#include "substitute/resource_file.h"

namespace cli {

struct PluginFiles {
    std::filesystem::path module;
    std::filesystem::path resources;  // empty: the module's own (Windows)
    std::filesystem::path pictures;   // the command's pictures module; empty: none in this build
};

PluginFiles FindPluginFiles(const CommandLine& line, const char* argv0);

// The command's pictures module (cli/pictures.h), beside the command; empty when this build has
// none.
std::filesystem::path PicturesModuleFile(const char* argv0);

// Loads the module, or explains on standard error why it cannot.
std::unique_ptr<substitute::PluginModule> LoadModule(const std::filesystem::path& path);

// Reads the named resource file into `resources`. A missing file is an error only when
// `required` (an export needs the resources only for its dialogs). Explains failures on
// standard error.
bool LoadResourceFile(const PluginFiles& files, bool required, std::shared_ptr<const substitute::ResourceFile>& resources);

// When no resource file is named, reads the resources linked into the loaded module (Windows).
bool LoadModuleResources(const PluginFiles& files, const substitute::PluginModule& module,
                         std::shared_ptr<const substitute::ResourceFile>& resources);

// The dialog's visible texts, one line each, after `indent`.
void PrintDialog(std::ostream& out, const substitute::DialogRun& dialog, const char* indent);

// Writes the alerts and dialogs the plug-in showed (the About box only when asked), each line
// after `prefix`. Answers whether any of it was an error.
bool ReportWhatWasShown(std::ostream& out, const std::string& prefix, const substitute::Host& host, bool includeAbout);

// The misuse the host noticed, its memory figures and the suites still held. The figures are
// the host's since it was made, or `memory` when given (one document's, see StartedPlugin).
void ReportHostNotes(std::ostream& out, const std::string& prefix, const substitute::Host& host);
void ReportHostNotes(std::ostream& out, const std::string& prefix, const substitute::Host& host,
                     const substitute::AllocationStats& memory);

// A host error code as a number, or as its four characters.
std::string ErrorText(HostErr error);

void OpenWithDesktopViewer(const std::string& path);

}  // namespace cli
