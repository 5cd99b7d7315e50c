// The two services the export asks of the operating system.
#pragma once

#include <cstdint>

constexpr int32_t kLeftShiftKey = 0xA0;
constexpr int32_t kRightShiftKey = 0xA1;

// The asynchronous key state: bit 15 while the key is down, bit 0 when it was pressed
// since the previous query.
int16_t QueryAsyncKeyState(int32_t virtualKey);

// Asks the desktop shell to open a file with its default viewer; the answer is not awaited.
void RequestShellOpen(const char* path);

// Where the operating system offers neither (anything but Windows), the program that hosts
// the plug-in may stand in for them by exporting these two C functions. Without them every
// key reads as up and open requests are dropped.
#define QUILLMARK_KEY_STATE_HOOK "QuillmarkPlatformKeyState"  // int16_t (int32_t virtualKey)
#define QUILLMARK_SHELL_OPEN_HOOK "QuillmarkPlatformOpen"     // void (const char* path)
