// Registration of the two XAML formats and the host's file-format messages.
#pragma once

#include "host/host_types.h"

// Registers both formats, keeping their handles in the plug-in globals.
HostErr RegisterFileFormats(MessageRecord* message);
// Answers a message of any caller other than the host's access and interface callers.
HostErr DispatchFileFormat(const char* caller, const char* selector, MessageRecord* message);

HostErr HandleGetParameters(FileFormatMessage* message);
// Exports the document to the message's path, for the target its format handle names.
HostErr HandleGo(FileFormatMessage* message);
// Answers 1 for the WPF/E format, 0 for any other.
HostErr HandleCheck(FileFormatMessage* message);
