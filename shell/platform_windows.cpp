#include <windows.h>
#include <shellapi.h>

#include "shell/platform.h"

int16_t QueryAsyncKeyState(int32_t virtualKey) {
    return static_cast<int16_t>(GetAsyncKeyState(virtualKey));
}

void RequestShellOpen(const char* path) {
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}
