// On Windows the plug-in's code is linked into this program, and its key-state queries and
// open requests go through the program's own import table: pointed at the substitute host's
// stand-ins before any test runs, as the host does for a loaded module, so that the tests set
// the keys and no viewer is started.
#include <windows.h>

#include "substitute/windows_platform.h"

namespace {

const bool kRedirected = !substitute::RedirectPlatformImports(GetModuleHandleA(nullptr)).empty();

}  // namespace
