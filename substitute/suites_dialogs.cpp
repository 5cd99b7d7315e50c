// The suites of the plug-in's shell: file-format registration, strings, alerts and the
// headless modal dialogs.
#include <cstring>

#include "substitute/host_state.h"

namespace substitute {

namespace {

constexpr int32_t kOkItem = 1;
constexpr int32_t kDialogNotShown = -1;

void CheckPluginReference(HostState& state, PluginRef self, std::string_view operation) {
    if (self != state.host->PluginReference()) state.Problem(std::string(operation) + ": wrong plug-in reference");
}

HostErr AddFileFormat(PluginRef self, const char* name, const FileFormatRegistration* data, int32_t options,
                      FileFormatHandle* format) {
    HostState* state = CurrentState();
    if (state == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("AI File Format Suite/AddFileFormat")) return fault;
    if (name == nullptr || data == nullptr || format == nullptr || data->title == nullptr) return kBadParameterErr;
    CheckPluginReference(*state, self, "AI File Format Suite/AddFileFormat");
    // The plug-in frees the title when the call returns: keep a copy.
    FormatRegistration registration{self,
                                    name,
                                    std::string(reinterpret_cast<const char*>(data->title + 1), data->title[0]),
                                    data->titleOrder,
                                    data->extension != nullptr ? data->extension : "",
                                    options,
                                    nullptr};
    state->formatStorage.push_back(registration);
    registration.handle = reinterpret_cast<FileFormatHandle>(&state->formatStorage.back());
    state->formatStorage.back().handle = registration.handle;
    state->formats.push_back(registration);
    *format = registration.handle;
    return kNoErr;
}

HostErr GetIndexString(PluginRef self, int32_t listId, int32_t n, char* buffer, int32_t capacity) {
    HostState* state = CurrentState();
    if (state == nullptr) return kBadParameterErr;
    if (HostErr fault = state->Enter("ADM Basic Suite/GetIndexString")) return fault;
    if (buffer == nullptr || capacity <= 0) return kBadParameterErr;
    CheckPluginReference(*state, self, "ADM Basic Suite/GetIndexString");
    buffer[0] = '\0';
    if (state->resources == nullptr) {
        state->Problem("ADM Basic Suite/GetIndexString: no resources loaded");
        return kBadParameterErr;
    }
    const int64_t id = int64_t(listId) + n;
    const std::optional<std::string> text = id < 0 || id > UINT16_MAX ? std::nullopt : state->resources->String(uint32_t(id));
    if (!text) return kBadParameterErr;
    const size_t length = std::min(text->size(), size_t(capacity) - 1);
    std::memcpy(buffer, text->data(), length);
    buffer[length] = '\0';
    return kNoErr;
}

void MessageAlert(const char* text) {
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("ADM Basic Suite/MessageAlert") != kNoErr) return;
    state->alerts.push_back(text != nullptr ? text : "");
}

ItemRef ItemOf(HostState& state, DialogRun& dialog, int32_t itemId) {
    for (DialogItem& item : state.items) {
        if (item.dialog == &dialog && item.id == itemId) return reinterpret_cast<ItemRef>(&item);
    }
    state.items.push_back({&dialog, itemId});
    return reinterpret_cast<ItemRef>(&state.items.back());
}

// Shows nothing: sets the dialog up from its resource, lets the plug-in initialise it, then
// presses OK, as a person who reads the dialog and dismisses it would.
int32_t Modal(PluginRef self, const char* name, int32_t resourceId, int32_t style, DialogInitProc init, void* userData,
              int32_t options) {
    (void)style;
    (void)options;
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("ADM Dialog Suite/Modal") != kNoErr) return kDialogNotShown;
    CheckPluginReference(*state, self, "ADM Dialog Suite/Modal");
    const DialogTemplate* resource =
        state->resources != nullptr && resourceId >= 0 ? state->resources->Dialog(uint32_t(resourceId)) : nullptr;
    if (resource == nullptr) {
        state->Problem("ADM Dialog Suite/Modal: no dialog resource " + std::to_string(resourceId));
        return kDialogNotShown;
    }
    DialogRun& run = state->dialogs.emplace_back();
    run.resourceId = resourceId;
    run.name = name != nullptr ? name : "";
    run.caption = resource->caption;
    run.userData = userData;
    for (const DialogControl& control : resource->controls) run.controls.push_back({control.id, control.className, control.text});

    if (init != nullptr && init(reinterpret_cast<DialogRef>(&run)) != kNoErr) return run.answer;
    auto notify = run.notifyProcs.find(kOkItem);
    if (notify != run.notifyProcs.end() && notify->second != nullptr) {
        static int sNotifier;  // the notifier of a press carries nothing the plug-in reads
        notify->second(ItemOf(*state, run, kOkItem), reinterpret_cast<NotifierRef>(&sNotifier));
    }
    run.answer = kOkItem;
    return run.answer;
}

void* GetUserData(DialogRef dialog) {
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("ADM Dialog Suite/GetUserData") != kNoErr) return nullptr;
    DialogRun* run = state->FindDialog(dialog, "ADM Dialog Suite/GetUserData");
    return run != nullptr ? run->userData : nullptr;
}

ItemRef GetItem(DialogRef dialog, int32_t itemId) {
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("ADM Dialog Suite/GetItem") != kNoErr) return nullptr;
    DialogRun* run = state->FindDialog(dialog, "ADM Dialog Suite/GetItem");
    return run != nullptr ? ItemOf(*state, *run, itemId) : nullptr;
}

void SetNotifyProc(ItemRef item, ItemNotifyProc proc) {
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("ADM Item Suite/SetNotifyProc") != kNoErr) return;
    if (DialogItem* found = state->FindItem(item, "ADM Item Suite/SetNotifyProc")) found->dialog->notifyProcs[found->id] = proc;
}

void DefaultNotify(ItemRef item, NotifierRef notifier) {
    (void)notifier;
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("ADM Item Suite/DefaultNotify") != kNoErr) return;
    if (DialogItem* found = state->FindItem(item, "ADM Item Suite/DefaultNotify")) found->dialog->defaultNotifyCalled = true;
}

void SetText(ItemRef item, const char* text) {
    HostState* state = CurrentState();
    if (state == nullptr || state->Enter("ADM Item Suite/SetText") != kNoErr) return;
    DialogItem* found = state->FindItem(item, "ADM Item Suite/SetText");
    if (found == nullptr) return;
    const std::string value = text != nullptr ? text : "";
    DialogRun& run = *found->dialog;
    run.textsSet[found->id] = value;
    bool placed = false;
    for (DialogText& control : run.controls) {
        if (control.itemId == found->id) control.text = value, placed = true;
    }
    if (!placed) state->Problem("ADM Item Suite/SetText: dialog " + std::to_string(run.resourceId) + " has no item " + std::to_string(found->id));
}

}  // namespace

const FileFormatSuite kFileFormatSuite = {AddFileFormat};

const ADMBasicSuite kADMBasicSuite = {GetIndexString, {}, MessageAlert};

const ADMDialogSuite kADMDialogSuite = {{}, Modal, {}, GetUserData, {}, GetItem};

const ADMItemSuite kADMItemSuite = {{}, SetNotifyProc, {}, DefaultNotify, {}, SetText};

}  // namespace substitute
