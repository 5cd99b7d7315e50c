// The substitute host: grants the plug-in the host's suites and answers every operation
// from an in-memory document. Invalid handles and queries past the end of a list answer
// kBadParameterErr and, where there is one, a null handle. It also records what the plug-in did (suites held, memory,
// registrations, alerts, dialogs, open requests) and can be told to fail, for tests.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/suites.h"
#include "document/document.h"

namespace substitute {

// The host answers from the document model.
using document::Art;
using document::Document;
using document::Gradient;
using document::CustomColor;
using document::Pattern;

class ResourceFile;
struct HostState;

// One call of the file-format suite's register operation.
struct FormatRegistration {
    PluginRef plugin;
    std::string name;
    std::string title;  // copied from the length-prefixed title during the call
    int32_t titleOrder;
    std::string extension;
    int32_t options;
    FileFormatHandle handle;  // distinct and non-null for every registration
};

// A control of a dialog as the plug-in left it.
struct DialogText {
    int32_t itemId;  // -1 for controls without an id
    std::string className;  // "Button", "Static", ...
    std::string text;
};

// One run of the modal dialog operation.
struct DialogRun {
    int32_t resourceId = 0;
    std::string name;
    std::string caption;  // from the dialog resource
    void* userData = nullptr;
    std::vector<DialogText> controls;  // the resource's controls with the texts the plug-in set
    std::map<int32_t, std::string> textsSet;  // what the plug-in set, by item id
    std::map<int32_t, ItemNotifyProc> notifyProcs;
    bool defaultNotifyCalled = false;
    int32_t answer = -1;  // the item that dismissed the dialog, -1 when it could not be shown

    // The texts a person would read: every control but the push buttons, in resource order,
    // with "\r\n" line breaks as "\n".
    std::vector<std::string> VisibleTexts() const;
};

// Memory handed out through the basic suite and the blocks suite.
struct AllocationStats {
    size_t allocations = 0;
    size_t releases = 0;
    size_t liveBlocks = 0;
    size_t liveBytes = 0;
    size_t totalBytes = 0;  // everything ever allocated
};

// A block of host memory the plug-in still holds.
struct LiveBlock {
    size_t size;
    std::string debugName;  // as given to the blocks suite; empty for the basic suite's blocks
};

class Host {
public:
    // Only one host exists at a time: the suites' operations are plain functions and reach
    // their host through Current().
    explicit Host(Document document = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    static Host* Current();

    // What a message carries.
    const BasicSuite* Basic() const;
    PluginRef PluginReference() const;

    const Document& GetDocument() const;
    void SetDocument(Document document);
    // The plug-in's compiled resources: string lists and dialog templates.
    void SetResources(std::shared_ptr<const ResourceFile> resources);
    const ResourceFile* Resources() const;

    // --- The platform stand-ins (key states, the shell's open request).
    void SetKeyState(int32_t virtualKey, int16_t state);  // every key answers 0 until set
    int16_t KeyState(int32_t virtualKey) const;
    void RecordOpenRequest(const std::string& path);
    const std::vector<std::string>& OpenRequests() const;
    // Called for every open request, after it is recorded.
    void OnOpenRequest(std::function<void(const std::string&)> handler);

    // --- Faults, for tests.
    // Every request for the suite fails with kSuiteNotFoundErr.
    void MakeSuiteUnavailable(const std::string& suiteName);
    // The operation, named "suite name/operation" as in "AI Art Suite/GetArtType" (the basic
    // suite is "SP Basic Suite"), answers `error` without doing anything, after succeeding
    // `succeedFirst` times: `failTimes` times, or from then on when negative. Operations that
    // answer no error code answer a neutral value.
    void FailOperation(const std::string& operation, HostErr error = kBadParameterErr, int succeedFirst = 0,
                       int failTimes = -1);
    // Answers a real host would never give, all with success. Each operation that takes one
    // (NonsenseKinds) gives it in its own way: a count below zero or as large as its type
    // allows, a type or kind code outside the known ones, reals that are NaN, infinite or
    // the largest 32-bit real, a null handle, a name that fills the buffer without a terminator.
    enum class Nonsense { kNegative, kHuge, kOutsideTable, kNotANumber, kInfinite, kNull, kUnterminated };
    // The operation answers normally `succeedFirst` times, then nonsense of the kind `times`
    // times, or from then on when negative. Throws std::invalid_argument for a kind the
    // operation does not give.
    void AnswerNonsense(const std::string& operation, Nonsense kind, int succeedFirst = 0, int times = -1);
    // How many nonsense answers were given so far.
    int NonsenseGiven() const;
    // The operations that can answer nonsense, each with the kinds it gives.
    static const std::map<std::string, std::vector<Nonsense>>& NonsenseKinds();
    void ClearFaults();

    // --- What the plug-in did.
    int AcquireCount(const std::string& suiteName) const;
    int ReleaseCount(const std::string& suiteName) const;
    // Acquisitions not yet released, of one suite or of all.
    int HeldCount(const std::string& suiteName) const;
    int TotalHeld() const;
    // Calls of an operation named as for FailOperation, failed ones included.
    int CallCount(const std::string& operation) const;
    // The operations called at least once since the records were last cleared, by name.
    std::vector<std::string> CalledOperations() const;
    const std::vector<FormatRegistration>& Formats() const;
    const std::vector<std::string>& Alerts() const;
    const std::deque<DialogRun>& Dialogs() const;
    AllocationStats Allocations() const;
    std::vector<LiveBlock> LiveBlocks() const;
    // Misuse the host noticed: unknown handles, frees of unknown blocks, releases of suites
    // not held, dialogs without a resource, ...
    const std::vector<std::string>& Problems() const;
    // Forgets the calls, alerts, open requests and problems seen so far (not the suites held).
    void ClearRecords();

    // For the suites' operations.
    HostState& State() { return *state_; }

private:
    std::unique_ptr<HostState> state_;
};

}  // namespace substitute
