#include "substitute/plugin_module.h"

#include <cstring>

#if defined(_WIN32)
#include <windows.h>

#include "substitute/windows_platform.h"
#else
#include <dlfcn.h>
#endif

namespace substitute {

namespace {

constexpr char kEntryPointName[] = "PluginMain";

}  // namespace

PluginModule::PluginModule(std::string path) : path_(std::move(path)) {
    Open();
}

PluginModule::PluginModule(PluginEntryPoint entryPoint) : path_("(linked in)"), entryPoint_(entryPoint) {}

PluginModule::~PluginModule() {
    Close();
}

#if defined(_WIN32)

void PluginModule::Open() {
    HMODULE library = LoadLibraryA(path_.c_str());
    if (library == nullptr) {
        throw ModuleError("cannot load the plug-in module " + path_ + " (error " + std::to_string(GetLastError()) + ")");
    }
    library_ = library;
    entryPoint_ = reinterpret_cast<PluginEntryPoint>(reinterpret_cast<void*>(GetProcAddress(library, kEntryPointName)));
    if (entryPoint_ == nullptr) {
        Close();
        throw ModuleError("the module " + path_ + " has no entry point " + kEntryPointName);
    }
    try {
        RedirectPlatformImports(library);
    } catch (const ModuleError&) {
        Close();
        throw;
    }
}

void PluginModule::Close() {
    if (library_ != nullptr) FreeLibrary(static_cast<HMODULE>(library_));
    library_ = nullptr;
}

#else

void PluginModule::Open() {
    library_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        const char* reason = dlerror();
        throw ModuleError("cannot load the plug-in module " + path_ + ": " + (reason != nullptr ? reason : "unknown error"));
    }
    entryPoint_ = reinterpret_cast<PluginEntryPoint>(dlsym(library_, kEntryPointName));
    if (entryPoint_ == nullptr) {
        Close();
        throw ModuleError("the module " + path_ + " has no entry point " + kEntryPointName);
    }
}

void PluginModule::Close() {
    if (library_ != nullptr) dlclose(library_);
    library_ = nullptr;
}

#endif

int32_t PluginModule::Call(const char* caller, const char* selector, void* message) const {
    return entryPoint_(caller, selector, message);
}

void PluginModule::UnloadAndLoad() {
    if (library_ == nullptr) return;
    Close();
    entryPoint_ = nullptr;
    Open();
}

MessageRecord PluginSession::NewRecord() const {
    MessageRecord record{};
    record.self = host_.PluginReference();
    record.savedGlobals = savedGlobals_;
    record.basic = host_.Basic();
    return record;
}

HostErr PluginSession::Send(const char* caller, const char* selector) {
    MessageRecord record = NewRecord();
    const HostErr result = module_.Call(caller, selector, &record);
    savedGlobals_ = record.savedGlobals;
    return result;
}

HostErr PluginSession::UnloadAndReload() {
    const HostErr unload = Send("SP Access", "Unload");
    module_.UnloadAndLoad();
    const HostErr reload = Send("SP Access", "Reload");
    return unload != kNoErr ? unload : reload;
}

HostErr PluginSession::SendFileFormat(const char* selector, FileFormatHandle format, const std::string& path,
                                      int32_t option) {
    if (path.size() >= kFileFormatPathSize) {
        throw std::length_error("the path is longer than " + std::to_string(kFileFormatPathSize - 1) + " bytes: " + path);
    }
    FileFormatMessage message{};
    message.d = NewRecord();
    message.format = format;
    std::memcpy(message.path, path.c_str(), path.size() + 1);
    message.option = option;
    const HostErr result = module_.Call("AI File Format", selector, &message);
    savedGlobals_ = message.d.savedGlobals;
    return result;
}

HostErr PluginSession::Go(FileFormatHandle format, const std::string& path, int32_t option) {
    return SendFileFormat("AI Go", format, path, option);
}

HostErr PluginSession::Check(FileFormatHandle format) {
    return SendFileFormat("AI Check", format, "", 0);
}

HostErr PluginSession::GetParameters(FileFormatHandle format) {
    return SendFileFormat("AI Get Parameters", format, "", 0);
}

ExportOutcome RunExport(Host& host, PluginModule& module, size_t formatIndex, const std::string& outputPath) {
    PluginSession session(host, module);
    ExportOutcome outcome;
    const size_t formatsBefore = host.Formats().size();
    outcome.startup = session.Startup();
    const size_t registered = host.Formats().size() - formatsBefore;
    if (outcome.startup == kNoErr && formatIndex < registered) {
        outcome.go = session.Go(host.Formats()[formatsBefore + formatIndex].handle, outputPath);
        outcome.exported = true;
    }
    outcome.shutdown = session.Shutdown();
    return outcome;
}

}  // namespace substitute
