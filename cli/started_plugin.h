// The plug-in started in the substitute host, exporting one document after another. A batch
// keeps it started between its documents, as a host keeps a plug-in it has loaded: one start-up,
// one "AI Go" message per document, one shut-down. Each document is still reported on its own:
// a document follows another in the same start-up only when nothing was recorded for that one
// (an alert, a dialog, a misuse), and its open requests and memory figures are its own.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "document/document.h"
#include "substitute/host.h"
#include "substitute/plugin_module.h"
#include "substitute/resource_file.h"

namespace cli {

class StartedPlugin {
public:
    // Makes the host for the first document and sends the start-up message.
    StartedPlugin(substitute::PluginModule& module, std::shared_ptr<const substitute::ResourceFile> resources,
                  document::Document document);
    StartedPlugin(const StartedPlugin&) = delete;
    StartedPlugin& operator=(const StartedPlugin&) = delete;

    substitute::Host& Host() { return host_; }
    // What the start-up message answered.
    HostErr Startup() const { return startup_; }

    // Hands the host the next document. Only after a Clean() document, which left no alert, no
    // dialog and no misuse recorded.
    void NextDocument(document::Document document);
    // The open requests the plug-in made for the current document.
    std::span<const std::string> DocumentOpenRequests() const;

    // Sends "AI Go" for the format the start-up registered at `formatIndex` (0 WPF, 1 WPF/E),
    // writing `path`; answers nothing when the start-up failed or registered no such format.
    std::optional<HostErr> Export(size_t formatIndex, const std::string& path);

    // Whether the document's messages left the plug-in and the host as the start-up left them,
    // so that the next document may be exported without starting again: no alert, no dialog, no
    // misuse noticed, no suite held, no more of the host's memory held than the started
    // plug-in's own. A failed export is never clean.
    bool Clean(HostErr exported) const;

    HostErr Shutdown();
    bool ShutDown() const { return shutDown_; }

    // The host's memory figures for the current document: what its messages allocated and freed
    // (the start-up's and the shut-down's included when they were sent for it), and what is still
    // held beyond what the started plug-in holds between documents.
    substitute::AllocationStats DocumentMemory() const;

private:
    substitute::Host host_;
    substitute::PluginSession session_;
    HostErr startup_ = kNoErr;
    bool shutDown_ = false;
    substitute::AllocationStats afterStartup_;   // what the started plug-in holds between documents
    substitute::AllocationStats documentStart_;  // the figures when the current document came
    size_t openRequestsBefore_ = 0;              // the host's open requests of earlier documents
};

}  // namespace cli
