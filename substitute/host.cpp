#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "host/suite_catalog.h"
#include "substitute/host_state.h"

namespace substitute {

namespace {

Host* sCurrentHost = nullptr;

// Suites that the plug-in holds but never calls are granted as tables of null operations,
// long enough for any of them.
const HostProc kEmptySuite[256] = {};

const void* TableOf(std::string_view name) {
    const std::pair<std::string_view, const void*> kTables[] = {
        {kBlocksSuiteName, &kBlocksSuite},
        {kFileFormatSuiteName, &kFileFormatSuite},
        {kUserSuiteName, &kUserSuite},
        {kLayerSuiteName, &kLayerSuite},
        {kArtSuiteName, &kArtSuite},
        {kPathSuiteName, &kPathSuite},
        {kPathStyleSuiteName, &kPathStyleSuite},
        {kRealMathSuiteName, &kRealMathSuite},
        {kGradientSuiteName, &kGradientSuite},
        {kCustomColorSuiteName, &kCustomColorSuite},
        {kColorConversionSuiteName, &kColorConversionSuite},
        {kBlendStyleSuiteName, &kBlendStyleSuite},
        {kPluginGroupSuiteName, &kPluginGroupSuite},
        {kADMBasicSuiteName, &kADMBasicSuite},
        {kADMDialogSuiteName, &kADMDialogSuite},
        {kADMItemSuiteName, &kADMItemSuite},
    };
    for (const auto& [suiteName, table] : kTables) {
        if (suiteName == name) return table;
    }
    return kEmptySuite;
}

HostErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    HostState* state = CurrentState();
    if (state == nullptr || name == nullptr || suite == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("SP Basic Suite/AcquireSuite")) return fault;
    *suite = nullptr;
    auto it = state->suites.find(std::string_view(name));
    if (it == state->suites.end() || it->second.version != version ||
        (!state->unavailableSuites.empty() && state->unavailableSuites.count(name) != 0)) {
        return kSuiteNotFoundErr;
    }
    ++it->second.acquired;
    *suite = it->second.table;
    return kNoErr;
}

HostErr ReleaseSuite(const char* name, int32_t version) {
    HostState* state = CurrentState();
    if (state == nullptr || name == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("SP Basic Suite/ReleaseSuite")) return fault;
    auto it = state->suites.find(std::string_view(name));
    if (it == state->suites.end() || it->second.version != version) return kSuiteNotFoundErr;
    if (it->second.acquired <= it->second.released) {
        state->Problem(std::string("release of \"") + name + "\", which is not held");
        return kBadParameterErr;
    }
    ++it->second.released;
    return kNoErr;
}

int32_t IsEqual(const char* a, const char* b) {
    if (HostState* state = CurrentState()) state->Enter("SP Basic Suite/IsEqual");
    if (a == nullptr || b == nullptr) return a == b;
    return std::strcmp(a, b) == 0;
}

HostErr Allocate(HostState& state, size_t size, const char* debugName, void** block) {
    if (block == nullptr) return kBadParameterErr;
    *block = nullptr;
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) return kOutOfMemoryErr;
    state.blocks[memory] = Block{size, debugName != nullptr ? debugName : ""};
    AllocationStats& stats = state.allocations;
    ++stats.allocations;
    ++stats.liveBlocks;
    stats.liveBytes += size;
    stats.totalBytes += size;
    *block = memory;
    return kNoErr;
}

HostErr Free(HostState& state, void* block, std::string_view operation) {
    if (block == nullptr) return kNoErr;
    auto it = state.blocks.find(block);
    if (it == state.blocks.end()) {
        state.Problem(std::string(operation) + ": the block was not allocated by the host, or freed already");
        return kBadParameterErr;
    }
    AllocationStats& stats = state.allocations;
    ++stats.releases;
    --stats.liveBlocks;
    stats.liveBytes -= it->second.size;
    state.blocks.erase(it);
    std::free(block);
    return kNoErr;
}

HostErr BasicAllocateBlock(size_t size, void** block) {
    HostState* state = CurrentState();
    if (state == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("SP Basic Suite/AllocateBlock")) return fault;
    return Allocate(*state, size, nullptr, block);
}

HostErr BasicFreeBlock(void* block) {
    HostState* state = CurrentState();
    if (state == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("SP Basic Suite/FreeBlock")) return fault;
    return Free(*state, block, "SP Basic Suite/FreeBlock");
}

HostErr BlocksAllocateBlock(size_t size, const char* debugName, void** block) {
    HostState* state = CurrentState();
    if (state == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("SP Blocks Suite/AllocateBlock")) return fault;
    return Allocate(*state, size, debugName, block);
}

HostErr BlocksFreeBlock(void* block) {
    HostState* state = CurrentState();
    if (state == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("SP Blocks Suite/FreeBlock")) return fault;
    return Free(*state, block, "SP Blocks Suite/FreeBlock");
}

}  // namespace

const BasicSuite kBasicSuite = {AcquireSuite, ReleaseSuite, IsEqual, BasicAllocateBlock, BasicFreeBlock};
const BlocksSuite kBlocksSuite = {BlocksAllocateBlock, BlocksFreeBlock};

HostState* sCurrentState = nullptr;

HostState::CachedCounter HostState::CounterOf(std::string_view operation) {
    auto call = calls.find(operation);
    if (call == calls.end()) call = calls.emplace(std::string(operation), 0).first;
    return CachedCounter{operation.data(), operation.size(), &call->second};
}

HostErr HostState::TakeFault(std::string_view operation) {
    auto fault = faults.find(operation);
    if (fault == faults.end()) return kNoErr;
    if (fault->second.succeedFirst > 0) {
        --fault->second.succeedFirst;
        return kNoErr;
    }
    if (fault->second.remaining == 0) return kNoErr;
    if (fault->second.remaining > 0) --fault->second.remaining;
    return fault->second.error;
}

std::optional<Host::Nonsense> HostState::TakeNonsense(std::string_view operation) {
    auto answer = nonsense.find(operation);
    if (answer == nonsense.end()) return std::nullopt;
    if (answer->second.succeedFirst > 0) {
        --answer->second.succeedFirst;
        return std::nullopt;
    }
    if (answer->second.remaining == 0) return std::nullopt;
    if (answer->second.remaining > 0) --answer->second.remaining;
    ++nonsenseGiven;
    return answer->second.kind;
}

namespace {

template <typename Handle>
bool Known(const HandleSet& known, Handle handle, std::string_view operation, HostState& state, const char* what) {
    if (handle != nullptr && known.Contains(static_cast<const void*>(handle))) return true;
    state.Problem(std::string(operation) + ": " + (handle == nullptr ? "null " : "unknown ") + what + " handle");
    return false;
}

}  // namespace

Art* HostState::FindArt(ArtHandle art, std::string_view operation) {
    if (art == nullptr || art != lastFoundArt) {
        if (!Known(arts, art, operation, *this, "art")) return nullptr;
        lastFoundArt = art;
    }
    return reinterpret_cast<Art*>(art);
}

const Gradient* HostState::FindGradient(GradientHandle gradient, std::string_view operation) {
    return Known(gradients, gradient, operation, *this, "gradient") ? reinterpret_cast<const Gradient*>(gradient)
                                                                       : nullptr;
}

const CustomColor* HostState::FindCustomColor(CustomColorHandle color, std::string_view operation) {
    return Known(customColors, color, operation, *this, "custom colour")
               ? reinterpret_cast<const CustomColor*>(color)
               : nullptr;
}

DialogRun* HostState::FindDialog(DialogRef dialog, std::string_view operation) {
    for (DialogRun& run : dialogs) {
        if (reinterpret_cast<DialogRef>(&run) == dialog) return &run;
    }
    Problem(std::string(operation) + ": unknown dialog");
    return nullptr;
}

DialogItem* HostState::FindItem(ItemRef item, std::string_view operation) {
    for (DialogItem& candidate : items) {
        if (reinterpret_cast<ItemRef>(&candidate) == item) return &candidate;
    }
    Problem(std::string(operation) + ": unknown dialog item");
    return nullptr;
}

void HostState::IndexDocument() {
    document.Link();
    layers.clear();
    lastFoundArt = nullptr;
    std::vector<const void*> artHandles;
    std::vector<Art*> pending;
    for (auto& root : document.layers) {
        layers.push_back({root.get()});
        pending.push_back(root.get());
    }
    while (!pending.empty()) {
        Art* art = pending.back();
        pending.pop_back();
        artHandles.push_back(art);
        for (auto& child : art->children) pending.push_back(child.get());
        if (art->result) pending.push_back(art->result.get());
    }
    arts.Assign(artHandles);
    std::vector<const void*> gradientHandles, colorHandles;
    for (auto& [name, gradient] : document.gradients) gradientHandles.push_back(gradient.get());
    for (auto& [name, color] : document.customColors) colorHandles.push_back(color.get());
    gradients.Assign(gradientHandles);
    customColors.Assign(colorHandles);
}

Host::Host(Document document) : state_(std::make_unique<HostState>()) {
    if (sCurrentHost != nullptr) throw std::logic_error("only one substitute host may exist at a time");
    LinkPlatformHooks();
    state_->host = this;
    for (const SuiteId& id : kSuiteTableIds) state_->suites[id.name] = SuiteRecord{id.version, TableOf(id.name)};
    SetDocument(std::move(document));
    sCurrentHost = this;
    sCurrentState = state_.get();
}

Host::~Host() {
    for (auto& [block, info] : state_->blocks) std::free(block);
    sCurrentHost = nullptr;
    sCurrentState = nullptr;
}

Host* Host::Current() {
    return sCurrentHost;
}

const BasicSuite* Host::Basic() const {
    return &kBasicSuite;
}

PluginRef Host::PluginReference() const {
    return reinterpret_cast<PluginRef>(state_.get());
}

const Document& Host::GetDocument() const {
    return state_->document;
}

void Host::SetDocument(Document document) {
    state_->document = std::move(document);
    state_->IndexDocument();
}

void Host::SetResources(std::shared_ptr<const ResourceFile> resources) {
    state_->resources = std::move(resources);
}

const ResourceFile* Host::Resources() const {
    return state_->resources.get();
}

void Host::SetKeyState(int32_t virtualKey, int16_t state) {
    state_->keyStates[virtualKey] = state;
}

int16_t Host::KeyState(int32_t virtualKey) const {
    auto it = state_->keyStates.find(virtualKey);
    return it == state_->keyStates.end() ? int16_t(0) : it->second;
}

void Host::RecordOpenRequest(const std::string& path) {
    state_->openRequests.push_back(path);
    if (state_->onOpen) state_->onOpen(path);
}

const std::vector<std::string>& Host::OpenRequests() const {
    return state_->openRequests;
}

void Host::OnOpenRequest(std::function<void(const std::string&)> handler) {
    state_->onOpen = std::move(handler);
}

void Host::MakeSuiteUnavailable(const std::string& suiteName) {
    state_->unavailableSuites.insert(suiteName);
}

void Host::FailOperation(const std::string& operation, HostErr error, int succeedFirst, int failTimes) {
    state_->faults[operation] = OperationFault{error, succeedFirst, failTimes};
}

void Host::AnswerNonsense(const std::string& operation, Nonsense kind, int succeedFirst, int times) {
    auto kinds = NonsenseKinds().find(operation);
    if (kinds == NonsenseKinds().end() ||
        std::find(kinds->second.begin(), kinds->second.end(), kind) == kinds->second.end()) {
        throw std::invalid_argument(operation + " gives no such nonsense");
    }
    state_->nonsense[operation] = NonsenseAnswer{kind, succeedFirst, times};
}

const std::map<std::string, std::vector<Host::Nonsense>>& Host::NonsenseKinds() {
    using enum Nonsense;
    static const std::map<std::string, std::vector<Nonsense>> kKinds = {
        {"AI Layer Suite/CountLayers", {kNegative, kHuge}},
        {"AI Layer Suite/GetNthLayer", {kNull}},
        {"AI Art Suite/GetFirstArtOfLayer", {kNull}},
        {"AI Art Suite/GetArtType", {kNegative, kOutsideTable}},
        {"AI Art Suite/GetArtUserAttr", {kNegative}},
        {"AI Art Suite/GetArtFirstChild", {kNull}},
        {"AI Art Suite/GetArtBounds", {kNotANumber, kInfinite, kHuge}},
        {"AI Art Suite/GetArtName", {kUnterminated}},
        {"AI Path Suite/GetPathSegmentCount", {kNegative, kHuge}},
        {"AI Path Suite/GetPathSegments", {kNotANumber, kInfinite, kHuge}},
        {"AI Path Suite/GetPathClosed", {kHuge}},
        {"AI Path Suite/GetPathIsGuide", {kHuge}},
        {"AI Path Style Suite/GetPathStyle", {kNegative, kHuge, kOutsideTable, kNotANumber, kInfinite, kNull}},
        {"AI Blend Style Suite/GetOpacity", {kNegative, kNotANumber, kInfinite}},
        {"AI Plugin Group Suite/GetPluginArtName", {kNull}},
        {"AI Plugin Group Suite/GetPluginArtResultArt", {kNull}},
        {"AI Real Math Suite/IdentityMatrix", {kNotANumber, kInfinite}},
        {"AI Real Math Suite/ConcatScale", {kNotANumber, kInfinite}},
        {"AI Real Math Suite/ConcatTranslate", {kNotANumber, kInfinite}},
        {"AI Real Math Suite/ConcatMatrix", {kNotANumber, kInfinite}},
        {"AI Real Math Suite/TransformPoint", {kNotANumber, kInfinite, kHuge}},
        {"AI Gradient Suite/GetGradientType", {kNegative, kOutsideTable}},
        {"AI Gradient Suite/GetGradientStopCount", {kNegative, kHuge}},
        {"AI Gradient Suite/GetNthGradientStop", {kOutsideTable, kNotANumber, kInfinite}},
        {"AI Custom Color Suite/GetCustomColor", {kOutsideTable, kNotANumber}},
        {"AI Color Conversion Suite/ConvertSamples", {kNegative, kHuge, kNotANumber, kInfinite}},
    };
    return kKinds;
}

void Host::ClearFaults() {
    state_->unavailableSuites.clear();
    state_->faults.clear();
    state_->nonsense.clear();
}

int Host::AcquireCount(const std::string& suiteName) const {
    auto it = state_->suites.find(suiteName);
    return it == state_->suites.end() ? 0 : it->second.acquired;
}

int Host::ReleaseCount(const std::string& suiteName) const {
    auto it = state_->suites.find(suiteName);
    return it == state_->suites.end() ? 0 : it->second.released;
}

int Host::HeldCount(const std::string& suiteName) const {
    return AcquireCount(suiteName) - ReleaseCount(suiteName);
}

int Host::TotalHeld() const {
    int held = 0;
    for (const auto& [name, suite] : state_->suites) held += suite.acquired - suite.released;
    return held;
}

int Host::CallCount(const std::string& operation) const {
    auto it = state_->calls.find(operation);
    return it == state_->calls.end() ? 0 : it->second;
}

int Host::NonsenseGiven() const {
    return state_->nonsenseGiven;
}

std::vector<std::string> Host::CalledOperations() const {
    std::vector<std::string> called;
    for (const auto& [operation, count] : state_->calls) {
        if (count > 0) called.push_back(operation);
    }
    return called;
}

const std::vector<FormatRegistration>& Host::Formats() const {
    return state_->formats;
}

const std::vector<std::string>& Host::Alerts() const {
    return state_->alerts;
}

const std::deque<DialogRun>& Host::Dialogs() const {
    return state_->dialogs;
}

AllocationStats Host::Allocations() const {
    return state_->allocations;
}

std::vector<LiveBlock> Host::LiveBlocks() const {
    std::vector<LiveBlock> live;
    for (const auto& [block, info] : state_->blocks) live.push_back({info.size, info.debugName});
    return live;
}

const std::vector<std::string>& Host::Problems() const {
    return state_->problems;
}

void Host::ClearRecords() {
    state_->calls.clear();
    state_->counterCache.fill({});
    state_->alerts.clear();
    state_->openRequests.clear();
    state_->problems.clear();
}

std::vector<std::string> DialogRun::VisibleTexts() const {
    std::vector<std::string> texts;
    for (const DialogText& control : controls) {
        if (control.className == "Button" || control.text.empty()) continue;
        std::string text = control.text;
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
        texts.push_back(std::move(text));
    }
    return texts;
}

}  // namespace substitute
