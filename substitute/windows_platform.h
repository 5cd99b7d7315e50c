// The substitute host's Windows-only services.
#pragma once

#if defined(_WIN32)

#include <filesystem>
#include <string>
#include <vector>

namespace substitute {

// The plug-in calls the system's key-state query and the shell's open request itself,
// through its import address table. The substitute host must answer the key states it was
// told and must not start a viewer, so after loading a module it points those two entries of
// the module's import table at its own stand-ins, which answer from the current host, as the
// loader would have done had the module been linked against them.
//
// Redirects the module's imports of USER32 GetAsyncKeyState and SHELL32 ShellExecuteA and
// answers the names of those it redirected (a module may import neither). Throws ModuleError
// when the module's import table cannot be read or written.
std::vector<std::string> RedirectPlatformImports(void* module);

// The system's own open request, for a host that was asked to open files for real.
void OpenWithShell(const std::string& path);

// The running program's file.
std::filesystem::path ProgramFile();

}  // namespace substitute

#endif
