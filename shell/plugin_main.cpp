#include "shell/plugin_main.h"

#include <new>

#include "shell/dialogs.h"
#include "shell/file_format.h"
#include "shell/lifecycle.h"
#include "shell/records.h"
#include "shell/suite_table.h"

namespace {

constexpr char kAccessCaller[] = "SP Access";
constexpr char kUnloadSelector[] = "Unload";
constexpr char kReloadSelector[] = "Reload";
constexpr char kInterfaceCaller[] = "SP Interface";
constexpr char kStartupSelector[] = "Startup";
constexpr char kAboutSelector[] = "About";
constexpr char kShutdownSelector[] = "Shutdown";

// Answered when a handler ends in an exception other than a refused allocation.
constexpr HostErr kUnexpectedExceptionErr = FourCharCode('E', 'X', 'C', 'P');

// Callers and selectors are the host's identifiers: only the host may compare them.
bool IsSame(const char* identifier, const char* name) {
    return sBasicSuite->IsEqual(identifier, name) != 0;
}

HostErr HandleAccess(const char* selector, MessageRecord* message) {
    if (IsSame(selector, kUnloadSelector)) return HandleUnload(message);
    if (IsSame(selector, kReloadSelector)) return HandleReload(message);
    return kNoErr;
}

HostErr HandleInterface(const char* selector, MessageRecord* message) {
    if (IsSame(selector, kStartupSelector)) return HandleStartup(message);
    if (IsSame(selector, kAboutSelector)) {
        ShowAboutDialog(message);  // how the dialog was closed does not matter
        return kNoErr;
    }
    if (IsSame(selector, kShutdownSelector)) return HandleShutdown(message);
    return kNoErr;
}

// The plug-in's own allocations do not throw, but standard-library code in the module
// reaches the host's memory through operator new, which throws when the host refuses.
// No exception may reach the host.
HostErr HandleMessage(const char* caller, const char* selector, MessageRecord* message) noexcept {
    try {
        if (IsSame(caller, kInterfaceCaller)) return HandleInterface(selector, message);
        return DispatchFileFormat(caller, selector, message);
    } catch (const std::bad_alloc&) {
        return kOutOfMemoryErr;
    } catch (...) {
        return kUnexpectedExceptionErr;
    }
}

// 1 answers a check; a missing suite has already been named in an alert.
bool IsSilentResult(HostErr result) {
    return result == kNoErr || result == 1 || result == kSuiteNotFoundErr;
}

}  // namespace

int32_t PluginMain(const char* caller, const char* selector, void* messageData) {
    auto* message = static_cast<MessageRecord*>(messageData);
    if (message == nullptr || message->basic == nullptr) return kBadParameterErr;
    sBasicSuite = message->basic;

    // Unload and reload come while the host is busy with the module: no suites, no dialogs.
    if (IsSame(caller, kAccessCaller)) return HandleAccess(selector, message);

    HostErr result = AcquireSuiteTable(message->basic);
    if (result == kNoErr) {
        result = HandleMessage(caller, selector, message);
    } else if (IsSame(caller, kInterfaceCaller) && IsSame(selector, kShutdownSelector)) {
        // The message's work is skipped, but the globals block must not outlive the plug-in in
        // the host's memory: shutting down needs no suite of the table. The table's error
        // stays the answer.
        HandleShutdown(message);
    }
    if (!IsSilentResult(result)) ReportError(message, result);
    ReleaseSuiteTable(message->basic);
    return result;
}
