// The About dialog and the error dialog, run through the host's dialog suites.
#pragma once

#include "host/host_types.h"

constexpr size_t kErrorMessageSize = 256;
constexpr size_t kErrorCodeTextSize = 20;

// Handed to the error dialog as its user data.
struct ErrorDialogData {
    char message[kErrorMessageSize];      // NUL-terminated
    char codeText[kErrorCodeTextSize];    // NUL-terminated
};
static_assert(offsetof(ErrorDialogData, codeText) == kErrorMessageSize);

// Runs the About dialog; answers what the dialog operation answered.
int32_t ShowAboutDialog(MessageRecord* message);
// Shows the error dialog for `error`, unless it is 0 or STOP or the dialog suites are not held.
void ReportError(MessageRecord* message, HostErr error);
// Runs the error dialog with the given texts. Answers 0.
HostErr ShowErrorDialog(MessageRecord* message, ErrorDialogData* data);

// Lets the dialog's OK button behave as the host's default button does.
void UseDefaultOkButton(DialogRef dialog);
