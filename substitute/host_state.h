// The substitute host's inner state, shared by the files that implement its suites.
#pragma once

#include <cstdint>

#include <array>
#include <deque>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include "substitute/host.h"
#include "substitute/resource_file.h"

namespace substitute {

// Hashes names as strings and string views alike, so that a lookup builds no string.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

struct SuiteRecord {
    int32_t version;
    const void* table;
    int acquired = 0;
    int released = 0;
};

struct OperationFault {
    HostErr error;
    int succeedFirst;
    int remaining;  // failures still to give; negative: every call
};

struct NonsenseAnswer {
    Host::Nonsense kind;
    int succeedFirst;
    int remaining;  // nonsense answers still to give; negative: every call
};

struct Block {
    size_t size;
    std::string debugName;  // empty for the basic suite's blocks
};

// An item of a dialog run, as the dialog suite's item operation hands it out.
struct DialogItem {
    DialogRun* dialog;
    int32_t id;
};

struct LayerRecord {
    Art* root;
};

// The handles the host gave out for one document, to tell a valid handle from any other
// pointer. Filled once when the document is set, then only looked up, thousands of times an
// export: a table of open addressing, which costs no allocation for each handle and finds one
// in a probe or two.
class HandleSet {
public:
    void Assign(const std::vector<const void*>& handles) {
        size_t size = 16;
        while (size < handles.size() * 2) size *= 2;
        table_.assign(size, nullptr);
        shift_ = 64;
        for (size_t s = size; s > 1; s /= 2) --shift_;
        for (const void* handle : handles) {
            if (handle == nullptr) continue;
            size_t slot = Slot(handle);
            while (table_[slot] != nullptr && table_[slot] != handle) slot = (slot + 1) & (table_.size() - 1);
            table_[slot] = handle;
        }
    }
    bool Contains(const void* handle) const {
        if (handle == nullptr || table_.empty()) return false;
        for (size_t slot = Slot(handle);; slot = (slot + 1) & (table_.size() - 1)) {
            if (table_[slot] == handle) return true;
            if (table_[slot] == nullptr) return false;
        }
    }

private:
    // Fibonacci hashing: the address's bits spread by one multiplication, the top bits kept.
    size_t Slot(const void* handle) const {
        return size_t((uint64_t(reinterpret_cast<uintptr_t>(handle)) * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    std::vector<const void*> table_;
    unsigned shift_ = 64;
};

struct HostState {
    Host* host = nullptr;
    Document document;
    std::vector<LayerRecord> layers;
    HandleSet arts, gradients, customColors;
    // The handle FindArt accepted last: the segments of a path are asked for one at a time,
    // so most lookups repeat it. Forgotten whenever the set of arts changes.
    ArtHandle lastFoundArt = nullptr;
    std::shared_ptr<const ResourceFile> resources;

    // The plug-in acquires and releases a suite by name hundreds of times an export: hashed.
    std::unordered_map<std::string, SuiteRecord, NameHash, std::equal_to<>> suites;
    std::set<std::string, std::less<>> unavailableSuites;
    std::map<std::string, OperationFault, std::less<>> faults;
    std::map<std::string, NonsenseAnswer, std::less<>> nonsense;
    int nonsenseGiven = 0;
    std::map<std::string, int, std::less<>> calls;
    // Recently used counters of `calls`, found by the address of the operation's name (a
    // literal, see Enter), so that a call costs no search of the map. Emptied with `calls`.
    struct CachedCounter {
        const char* text = nullptr;
        size_t length = 0;
        int* count = nullptr;  // in `calls`
    };
    std::array<CachedCounter, 64> counterCache{};

    // The plug-in allocates and frees some hundred blocks an export: hashed, not sorted.
    std::unordered_map<void*, Block> blocks;
    AllocationStats allocations;

    std::vector<FormatRegistration> formats;
    std::deque<FormatRegistration> formatStorage;  // what the format handles point at
    std::vector<std::string> alerts;
    std::deque<DialogRun> dialogs;
    std::deque<DialogItem> items;
    std::map<int32_t, int16_t> keyStates;
    std::vector<std::string> openRequests;
    std::function<void(const std::string&)> onOpen;
    std::vector<std::string> problems;

    // Counts a call of the operation; answers the error it must fail with, or 0. The name
    // must be a literal: after its first call it is recognised by its address. Inline, as
    // every operation of every suite begins with it.
    HostErr Enter(std::string_view operation) {
        CachedCounter& cached = counterCache[(reinterpret_cast<uintptr_t>(operation.data()) >> 3) % counterCache.size()];
        if (cached.count == nullptr || cached.text != operation.data() || cached.length != operation.size()) {
            cached = CounterOf(operation);
        }
        ++*cached.count;
        return faults.empty() ? kNoErr : TakeFault(operation);
    }
    // The operation's entry in `calls`, created with a count of 0 when it has none.
    CachedCounter CounterOf(std::string_view operation);
    // The error a requested fault of the operation answers now, or 0.
    HostErr TakeFault(std::string_view operation);
    // The nonsense the operation answers now instead of its normal answer, if any. Called by
    // an operation that can answer nonsense, once it has its normal answer.
    std::optional<Host::Nonsense> Nonsense(std::string_view operation) {
        return nonsense.empty() ? std::nullopt : TakeNonsense(operation);
    }
    std::optional<Host::Nonsense> TakeNonsense(std::string_view operation);
    void Problem(std::string text) { problems.push_back(std::move(text)); }

    // The object behind a handle the host handed out, or null (noted as a problem) when the
    // handle is null or not one of this document's.
    Art* FindArt(ArtHandle art, std::string_view operation);
    const Gradient* FindGradient(GradientHandle gradient, std::string_view operation);
    const CustomColor* FindCustomColor(CustomColorHandle color, std::string_view operation);
    DialogRun* FindDialog(DialogRef dialog, std::string_view operation);
    DialogItem* FindItem(ItemRef item, std::string_view operation);

    void IndexDocument();
};

// The real a nonsense answer puts in place of a real: NaN, an infinity, the largest 32-bit real,
// or the most negative one.
inline HostReal NonsenseReal(Host::Nonsense kind) {
    switch (kind) {
        case Host::Nonsense::kNotANumber: return std::numeric_limits<HostReal>::quiet_NaN();
        case Host::Nonsense::kInfinite: return std::numeric_limits<HostReal>::infinity();
        case Host::Nonsense::kHuge: return std::numeric_limits<HostReal>::max();
        case Host::Nonsense::kNegative: return std::numeric_limits<HostReal>::lowest();
        default: return 0.0f;
    }
}

// The state of the current host, or null when there is none.
extern HostState* sCurrentState;
inline HostState* CurrentState() {
    return sCurrentState;
}

// Runs an operation of the current host: counts the call, applies a requested fault.
#define QM_ENTER(operation)                                         \
    HostState* state = CurrentState();                              \
    if (state == nullptr) return kBadParameterErr;                  \
    if (HostErr fault = state->Enter(operation)) return fault

// The suites' tables, one per file that implements them.
extern const BasicSuite kBasicSuite;
extern const BlocksSuite kBlocksSuite;
extern const FileFormatSuite kFileFormatSuite;
extern const UserSuite kUserSuite;
extern const LayerSuite kLayerSuite;
extern const ArtSuite kArtSuite;
extern const PathSuite kPathSuite;
extern const PathStyleSuite kPathStyleSuite;
extern const RealMathSuite kRealMathSuite;
extern const GradientSuite kGradientSuite;
extern const CustomColorSuite kCustomColorSuite;
extern const ColorConversionSuite kColorConversionSuite;
extern const BlendStyleSuite kBlendStyleSuite;
extern const PluginGroupSuite kPluginGroupSuite;
extern const ADMBasicSuite kADMBasicSuite;
extern const ADMDialogSuite kADMDialogSuite;
extern const ADMItemSuite kADMItemSuite;

// Makes sure the platform stand-ins are linked into every program that hosts the plug-in.
void LinkPlatformHooks();

}  // namespace substitute
