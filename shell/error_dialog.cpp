#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "resources/resource_ids.h"
#include "shell/dialogs.h"
#include "shell/records.h"
#include "shell/suite_table.h"

namespace {

constexpr char kErrorDialogName[] = "Error Dialog";
constexpr int32_t kCodeTextCapacity = 255;
// String ids are 16-bit: the list cannot reach past the last of them.
constexpr int32_t kLastErrorString = 0xFFFF - QUILLMARK_ERROR_STRING_LIST_ID;

HostErr InitErrorDialog(DialogRef dialog) {
    UseDefaultOkButton(dialog);
    const auto* data = static_cast<const ErrorDialogData*>(sADMDialog->GetUserData(dialog));
    if (data == nullptr || sADMItem == nullptr) return kNoErr;
    ItemRef messageItem = sADMDialog->GetItem(dialog, QUILLMARK_ERROR_MESSAGE_ITEM);
    ItemRef codeItem = sADMDialog->GetItem(dialog, QUILLMARK_ERROR_CODE_ITEM);
    if (messageItem != nullptr) sADMItem->SetText(messageItem, data->message);
    if (codeItem != nullptr) sADMItem->SetText(codeItem, data->codeText);
    return kNoErr;
}

// Reads string n of the error list; empty when the host has none.
void ReadErrorString(MessageRecord* message, int32_t n, char (&text)[kCodeTextCapacity + 1]) {
    std::memset(text, 0, sizeof text);
    sADMBasic->GetIndexString(message->self, QUILLMARK_ERROR_STRING_LIST_ID, n, text, kCodeTextCapacity);
    text[kCodeTextCapacity] = '\0';
}

// A whole number within the 32-bit range, cut toward zero; 0 for what is not a number.
int32_t TruncateToInteger(HostReal value) {
    const double truncated = std::trunc(static_cast<double>(value));
    if (!(truncated >= INT32_MIN && truncated <= INT32_MAX)) return 0;
    return static_cast<int32_t>(truncated);
}

// The error code a code text stands for: a number (its low 16 bits, signed), or a
// four-character code.
HostErr CodeOfText(char (&text)[kCodeTextCapacity + 1]) {
    const bool isNumber = text[0] == '-' || (text[0] >= '0' && text[0] <= '9');
    if (!isNumber) return FourCharCode(text[0], text[1], text[2], text[3]);

    char lengthPrefixed[kCodeTextCapacity + 1];
    std::memcpy(lengthPrefixed, text, sizeof lengthPrefixed);
    ToLengthPrefixed(lengthPrefixed);
    HostReal value = 0;
    sUser->TextToNumber(reinterpret_cast<const unsigned char*>(lengthPrefixed), &value);
    const auto low16 = static_cast<uint16_t>(static_cast<uint32_t>(TruncateToInteger(value)) & 0xFFFFu);
    return static_cast<int16_t>(low16);
}

// A code within the 16-bit range is shown as a signed number, any other as its four characters.
void MakeCodeText(HostErr error, char (&codeText)[kErrorCodeTextSize]) {
    std::memset(codeText, 0, sizeof codeText);
    const uint32_t upper = static_cast<uint32_t>(error) >> 16;
    if (upper == 0 || upper == 0xFFFFu) {
        char number[256] = {};
        sUser->NumberToText(static_cast<HostReal>(error), 0, reinterpret_cast<unsigned char*>(number));
        FromLengthPrefixed(number);
        const size_t length = strnlen(number, sizeof codeText - 1);  // codeText is zero-filled above
        std::memcpy(codeText, number, length);
        return;
    }
    const auto bits = static_cast<uint32_t>(error);
    for (int i = 0; i < 4; ++i) codeText[i] = static_cast<char>((bits >> (24 - 8 * i)) & 0xFFu);
}

}  // namespace

void ReportError(MessageRecord* message, HostErr error) {
    if (error == kNoErr || error == kStopErr) return;
    // Without the host's dialog and number services nothing can be shown.
    if (sADMBasic == nullptr || sADMDialog == nullptr || sUser == nullptr) return;

    // Code texts stand at the odd places of the list. "<Others>" is the last pair, so when
    // nothing matches, the message before the end is the one for unknown errors.
    int32_t n = 1;
    bool found = false;
    char text[kCodeTextCapacity + 1];
    for (; n < kLastErrorString; n += 2) {
        ReadErrorString(message, n, text);
        if (text[0] == '\0') break;
        if (CodeOfText(text) == error) {
            found = true;
            break;
        }
    }

    ErrorDialogData data{};
    const int32_t messageIndex = found ? n + 1 : n - 1;
    if (sADMBasic->GetIndexString(message->self, QUILLMARK_ERROR_STRING_LIST_ID, messageIndex, data.message,
                                  static_cast<int32_t>(kErrorMessageSize)) != kNoErr) {
        return;
    }
    data.message[kErrorMessageSize - 1] = '\0';
    MakeCodeText(error, data.codeText);
    ShowErrorDialog(message, &data);
}

HostErr ShowErrorDialog(MessageRecord* message, ErrorDialogData* data) {
    if (sADMDialog == nullptr) return kNoErr;
    sADMDialog->Modal(message->self, kErrorDialogName, QUILLMARK_ERROR_DIALOG_ID, 0, InitErrorDialog, data, 0);
    return kNoErr;
}
