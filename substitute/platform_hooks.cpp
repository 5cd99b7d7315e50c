// The key-state query and the shell's open request, as the plug-in finds them in the program
// that hosts it where the operating system has neither (shell/platform.h). The answers come
// from the current substitute host.
#include <cstdint>

#include "substitute/host_state.h"

#define QM_HOOK extern "C" __attribute__((visibility("default"), used))

QM_HOOK int16_t QuillmarkPlatformKeyState(int32_t virtualKey) {
    substitute::Host* host = substitute::Host::Current();
    return host != nullptr ? host->KeyState(virtualKey) : int16_t(0);
}

QM_HOOK void QuillmarkPlatformOpen(const char* path) {
    if (substitute::Host* host = substitute::Host::Current()) host->RecordOpenRequest(path != nullptr ? path : "");
}

namespace substitute {

void LinkPlatformHooks() {}

}  // namespace substitute
