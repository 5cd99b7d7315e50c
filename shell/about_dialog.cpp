#include "resources/resource_ids.h"
#include "shell/dialogs.h"
#include "shell/records.h"
#include "shell/suite_table.h"

namespace {

constexpr char kAboutDialogName[] = "About Dialog";

void DefaultNotify(ItemRef item, NotifierRef notifier) {
    sADMItem->DefaultNotify(item, notifier);
}

HostErr InitAboutDialog(DialogRef dialog) {
    UseDefaultOkButton(dialog);
    return kNoErr;
}

}  // namespace

void UseDefaultOkButton(DialogRef dialog) {
    if (sADMItem == nullptr) return;
    ItemRef ok = sADMDialog->GetItem(dialog, QUILLMARK_OK_ITEM);
    if (ok != nullptr) sADMItem->SetNotifyProc(ok, DefaultNotify);
}

int32_t ShowAboutDialog(MessageRecord* message) {
    if (sADMDialog == nullptr) return 0;
    return sADMDialog->Modal(message->self, kAboutDialogName, QUILLMARK_ABOUT_DIALOG_ID, 0, InitAboutDialog, nullptr,
                             0);
}
