#include "cli/started_plugin.h"

namespace cli {

using namespace substitute;

StartedPlugin::StartedPlugin(PluginModule& module, std::shared_ptr<const ResourceFile> resources,
                             document::Document document)
    : host_(std::move(document)), session_(host_, module) {
    if (resources) host_.SetResources(std::move(resources));
    documentStart_ = host_.Allocations();
    startup_ = session_.Startup();
    afterStartup_ = host_.Allocations();
}

void StartedPlugin::NextDocument(document::Document document) {
    // The host's records are not cleared: that would also forget its counts of calls, which it
    // would then build again for every document.
    host_.SetDocument(std::move(document));
    documentStart_ = host_.Allocations();
    openRequestsBefore_ = host_.OpenRequests().size();
}

std::span<const std::string> StartedPlugin::DocumentOpenRequests() const {
    return std::span<const std::string>(host_.OpenRequests()).subspan(openRequestsBefore_);
}

std::optional<HostErr> StartedPlugin::Export(size_t formatIndex, const std::string& path) {
    if (startup_ != kNoErr || formatIndex >= host_.Formats().size()) return std::nullopt;
    return session_.Go(host_.Formats()[formatIndex].handle, path);
}

bool StartedPlugin::Clean(HostErr exported) const {
    const AllocationStats memory = host_.Allocations();
    return exported == kNoErr && !shutDown_ && host_.Alerts().empty() && host_.Dialogs().empty() &&
           host_.Problems().empty() && host_.TotalHeld() == 0 && memory.liveBlocks == afterStartup_.liveBlocks &&
           memory.liveBytes == afterStartup_.liveBytes;
}

HostErr StartedPlugin::Shutdown() {
    shutDown_ = true;
    return session_.Shutdown();
}

AllocationStats StartedPlugin::DocumentMemory() const {
    AllocationStats memory = host_.Allocations();
    memory.allocations -= documentStart_.allocations;
    memory.releases -= documentStart_.releases;
    memory.totalBytes -= documentStart_.totalBytes;
    // Once shut down, whatever is left is held for good; while started, the plug-in's own blocks
    // are not the document's (a document that leaves other blocks is not clean, so this does not
    // go below zero).
    if (!shutDown_ && memory.liveBlocks >= afterStartup_.liveBlocks && memory.liveBytes >= afterStartup_.liveBytes) {
        memory.liveBlocks -= afterStartup_.liveBlocks;
        memory.liveBytes -= afterStartup_.liveBytes;
    }
    return memory;
}

}  // namespace cli
