// Records and helpers that the shell's handlers share.
#pragma once

#include "host/host_types.h"
#include "host/suites.h"

// Kept by the host across Unload and Reload; allocated at start-up.
struct PluginGlobals {
    FileFormatHandle wpfFormatHandle;
    FileFormatHandle wpfeFormatHandle;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(PluginGlobals) == 8);
#endif

// The basic suite of the latest message; empty until the first message arrives.
extern const BasicSuite* sBasicSuite;
// The plug-in globals block, or null before start-up and after shut-down.
extern PluginGlobals* sGlobals;

// Memory from the host's basic suite. Null when there is no basic suite yet or the host refuses.
void* HostAlloc(size_t size);
void HostFree(void* block);

// Converts NUL-terminated text to length-prefixed text in place. Text of 256 characters or
// more is left unchanged and the answer is null.
char* ToLengthPrefixed(char* text);
// Converts length-prefixed text back to NUL-terminated text in place.
char* FromLengthPrefixed(char* text);
