// Loads the plug-in module at run time and sends it the host's messages.
#pragma once

#include <stdexcept>
#include <string>

#include "substitute/host.h"

namespace substitute {

class ModuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using PluginEntryPoint = int32_t (*)(const char* caller, const char* selector, void* message);

// The module file and its entry point `PluginMain`.
class PluginModule {
public:
    // Loads the module; throws ModuleError when it cannot be loaded or has no entry point.
    explicit PluginModule(std::string path);
    // A plug-in linked into the program itself, for tests.
    explicit PluginModule(PluginEntryPoint entryPoint);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    int32_t Call(const char* caller, const char* selector, void* message) const;
    // Unloads the module and loads it again, as the host does between "Unload" and "Reload":
    // the module's static data starts afresh. A linked-in plug-in stays as it is.
    void UnloadAndLoad();
    const std::string& Path() const { return path_; }
    // The system's handle of the loaded module (HMODULE on Windows), or null.
    void* NativeHandle() const { return library_; }

private:
    void Open();
    void Close();

    std::string path_;
    void* library_ = nullptr;
    PluginEntryPoint entryPoint_ = nullptr;
};

// The host's side of the conversation with one plug-in: the message records it sends and
// the globals it keeps for the plug-in while the module is unloaded.
class PluginSession {
public:
    PluginSession(Host& host, PluginModule& module) : host_(host), module_(module) {}

    HostErr Startup() { return SendInterface("Startup"); }
    HostErr About() { return SendInterface("About"); }
    HostErr Shutdown() { return SendInterface("Shutdown"); }
    // "SP Access" "Unload", the module unloaded and loaded again, then "Reload".
    HostErr UnloadAndReload();

    // "AI File Format" messages. The path must fit the message's 300-byte field with its
    // terminator; a longer one throws std::length_error.
    HostErr Go(FileFormatHandle format, const std::string& path, int32_t option = kFileFormatExport);
    HostErr Check(FileFormatHandle format);
    HostErr GetParameters(FileFormatHandle format);

    // Any message with a plain message record.
    HostErr Send(const char* caller, const char* selector);
    HostErr SendFileFormat(const char* selector, FileFormatHandle format, const std::string& path, int32_t option);

    void* SavedGlobals() const { return savedGlobals_; }

private:
    HostErr SendInterface(const char* selector) { return Send("SP Interface", selector); }
    MessageRecord NewRecord() const;

    Host& host_;
    PluginModule& module_;
    void* savedGlobals_ = nullptr;
};

// What one export through the plug-in answered.
struct ExportOutcome {
    HostErr startup = kNoErr;
    HostErr go = kNoErr;
    HostErr shutdown = kNoErr;
    bool exported = false;  // start-up succeeded and "AI Go" was sent
};

// Start-up, "AI Go" for the registered format at `formatIndex` (0 WPF, 1 WPF/E), shut-down.
// When start-up registered no such format, nothing is exported.
ExportOutcome RunExport(Host& host, PluginModule& module, size_t formatIndex, const std::string& outputPath);

}  // namespace substitute
