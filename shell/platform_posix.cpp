// Stand-ins for the key-state query and the shell's open request where the operating system
// has neither: the hosting program answers them through the hooks it exports, if any.
#include <dlfcn.h>

#include "shell/platform.h"

namespace {

template <typename Function>
Function FindHook(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

int16_t QueryAsyncKeyState(int32_t virtualKey) {
    auto hook = FindHook<int16_t (*)(int32_t)>(QUILLMARK_KEY_STATE_HOOK);
    return hook != nullptr ? hook(virtualKey) : 0;
}

void RequestShellOpen(const char* path) {
    auto hook = FindHook<void (*)(const char*)>(QUILLMARK_SHELL_OPEN_HOOK);
    if (hook != nullptr) hook(path);
}
