// Exports a document through the built plug-in module in the substitute host, as the command
// does, and answers the XAML it wrote.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "document/document.h"
#include "substitute/host.h"
#include "substitute/plugin_module.h"

namespace svg_test {

inline std::string ExportXaml(document::Document document, bool everywhere = false) {
    document.Link();
    substitute::Host host(std::move(document));
    substitute::PluginModule module(QUILLMARK_MODULE_PATH);
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("svg-export-" + std::to_string(getpid()) + ".xaml");
    const substitute::ExportOutcome outcome = substitute::RunExport(host, module, everywhere ? 1 : 0, path.string());
    if (!outcome.exported || outcome.go != kNoErr) return {};
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(path);
    return text.str();
}

}  // namespace svg_test
