#include "shell/lifecycle.h"

#include "shell/file_format.h"
#include "shell/records.h"
#include "shell/suite_table.h"

HostErr HandleStartup(MessageRecord* message) {
    void* block = nullptr;
    const HostErr error = sBlocks->AllocateBlock(sizeof(PluginGlobals), "globals", &block);
    if (error != kNoErr) return error;
    sGlobals = static_cast<PluginGlobals*>(block);
    // A format whose registration fails keeps a null handle rather than whatever the block held.
    *sGlobals = PluginGlobals{nullptr, nullptr};
    return RegisterFileFormats(message);
}

HostErr HandleShutdown(MessageRecord* message) {
    // The blocks suite is held on its own account for the freeing, apart from the table.
    const BlocksSuite* blocks = nullptr;
    const HostErr error =
        message->basic->AcquireSuite(kBlocksSuiteName, kBlocksSuiteVersion, reinterpret_cast<const void**>(&blocks));
    if (error == kNoErr) {
        if (sGlobals != nullptr) blocks->FreeBlock(sGlobals);
        sGlobals = nullptr;
        message->basic->ReleaseSuite(kBlocksSuiteName, kBlocksSuiteVersion);
    } else if (sGlobals != nullptr) {
        // Refused the suite once more, the globals are still freed rather than left in the
        // host's memory for good: through the message's basic suite, whose blocks are the same
        // memory of the host, and which every message brings (a host that refuses every suite
        // from some message on may leave no other).
        message->basic->FreeBlock(sGlobals);
        sGlobals = nullptr;
    }
    message->savedGlobals = nullptr;
    return error;
}

HostErr HandleUnload(MessageRecord* message) {
    message->savedGlobals = sGlobals;
    return kNoErr;
}

HostErr HandleReload(MessageRecord* message) {
    sGlobals = static_cast<PluginGlobals*>(message->savedGlobals);
    // A reloaded module holds no suites, whatever its static data says.
    sSuiteAcquisitionCount = 0;
    return kNoErr;
}
