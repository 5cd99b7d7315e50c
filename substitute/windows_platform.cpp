#include "substitute/windows_platform.h"

// The host's declarations have a GradientFill of their own; the system's drawing API is not needed.
#define NOGDI
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <stdexcept>

#include "substitute/host.h"
#include "substitute/plugin_module.h"

namespace substitute {
namespace {

SHORT WINAPI KeyStateStandIn(int virtualKey) {
    const Host* host = Host::Current();
    return host != nullptr ? host->KeyState(virtualKey) : SHORT(0);
}

// Records the request instead of handing it to the desktop; a value above 32 tells the
// caller that the shell accepted it.
HINSTANCE WINAPI ShellExecuteStandIn(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
    if (Host* host = Host::Current()) host->RecordOpenRequest(file != nullptr ? file : "");
    return reinterpret_cast<HINSTANCE>(INT_PTR(33));
}

struct Redirection {
    const char* library;
    const char* function;
    ULONG_PTR standIn;
};

const Redirection kRedirections[] = {
    {"user32.dll", "GetAsyncKeyState", reinterpret_cast<ULONG_PTR>(&KeyStateStandIn)},
    {"shell32.dll", "ShellExecuteA", reinterpret_cast<ULONG_PTR>(&ShellExecuteStandIn)},
};

void WriteImportSlot(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD previous = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) {
        throw ModuleError("cannot make the module's import table writable (error " + std::to_string(GetLastError()) + ")");
    }
    *slot = value;
    VirtualProtect(slot, sizeof *slot, previous, &previous);
}

}  // namespace

std::vector<std::string> RedirectPlatformImports(void* module) {
    auto* base = static_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) throw ModuleError("the module has no DOS header");
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) throw ModuleError("the module has no PE header");
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];

    std::vector<std::string> redirected;
    if (directory.VirtualAddress == 0) return redirected;
    for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         library->Name != 0; ++library) {
        const char* libraryName = reinterpret_cast<const char*>(base + library->Name);
        // The loader has overwritten the address table; the names stay in the lookup table.
        if (library->OriginalFirstThunk == 0) continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const char* function = reinterpret_cast<const char*>(byName->Name);
            for (const Redirection& redirection : kRedirections) {
                if (_stricmp(libraryName, redirection.library) != 0 || std::strcmp(function, redirection.function) != 0) {
                    continue;
                }
                WriteImportSlot(reinterpret_cast<ULONG_PTR*>(&slots->u1.Function), redirection.standIn);
                redirected.emplace_back(function);
            }
        }
    }
    return redirected;
}

void OpenWithShell(const std::string& path) {
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::filesystem::path ProgramFile() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (length == 0) throw std::runtime_error("cannot tell where the program is (error " + std::to_string(GetLastError()) + ")");
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name);
        }
        name.resize(name.size() * 2);
    }
}

}  // namespace substitute
