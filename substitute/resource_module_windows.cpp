// The resources linked into a loaded module, read through the system's resource functions as
// the real host reads them from a plug-in: the resource directory is walked with
// EnumResourceTypes and EnumResourceNames, each resource is found with FindResource and read
// with LoadResource, and the strings of every string table come from LoadString.
#include "substitute/resource_file.h"

#define NOGDI
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cctype>

namespace substitute {
namespace {

constexpr uint32_t kStringType = 6;
constexpr uint32_t kDialogType = 5;
constexpr uint32_t kStringsPerBlock = 16;

// A resource of the module: its type ("#6" for an ordinal type, otherwise the name in
// capitals, as ResourceFile keys them) and its number.
struct ResourceName {
    std::string type;
    uint32_t id;
};

std::string TypeKey(LPCSTR type) {
    if (IS_INTRESOURCE(type)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(type));
    std::string name(type);
    for (char& c : name) c = char(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// The type argument of the resource functions for a key made by TypeKey.
LPCSTR TypeArgument(const std::string& key) {
    if (key[0] == '#') return MAKEINTRESOURCEA(std::stoul(key.substr(1)));
    return key.c_str();
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR type, LPSTR name, LONG_PTR context) {
    // The plug-in names every resource it reads by number.
    if (IS_INTRESOURCE(name)) {
        auto* names = reinterpret_cast<std::vector<ResourceName>*>(context);
        names->push_back({TypeKey(type), uint32_t(reinterpret_cast<ULONG_PTR>(name))});
    }
    return TRUE;
}

BOOL CALLBACK CollectType(HMODULE module, LPSTR type, LONG_PTR context) {
    EnumResourceNamesA(module, type, CollectName, context);
    return TRUE;
}

std::vector<uint8_t> ReadResource(HMODULE module, const ResourceName& name) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(name.id), TypeArgument(name.type));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        throw ResourceError("cannot load resource " + name.type + " " + std::to_string(name.id) + " of the module (error " +
                            std::to_string(GetLastError()) + ")");
    }
    const auto* first = static_cast<const uint8_t*>(bytes);
    return std::vector<uint8_t>(first, first + SizeofResource(module, found));
}

std::string Utf8(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

}  // namespace

ResourceFile ResourceFile::FromModule(void* moduleHandle) {
    const auto module = static_cast<HMODULE>(moduleHandle);
    std::vector<ResourceName> names;
    if (!EnumResourceTypesA(module, CollectType, reinterpret_cast<LONG_PTR>(&names)) &&
        GetLastError() != ERROR_RESOURCE_DATA_NOT_FOUND && GetLastError() != ERROR_RESOURCE_TYPE_NOT_FOUND) {
        throw ResourceError("cannot list the module's resources (error " + std::to_string(GetLastError()) + ")");
    }

    ResourceFile file;
    for (const ResourceName& name : names) {
        std::vector<uint8_t> data = ReadResource(module, name);
        if (name.type == "#" + std::to_string(kStringType)) {
            if (name.id == 0) throw ResourceError("string table block 0");
            // Block n holds the strings (n - 1) * 16 to n * 16 - 1; with no buffer,
            // LoadString answers a pointer into the resource and the string's length.
            for (uint32_t id = (name.id - 1) * kStringsPerBlock; id < name.id * kStringsPerBlock; ++id) {
                const wchar_t* text = nullptr;
                const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
                if (length > 0 && text != nullptr) file.strings_[id] = Utf8(text, length);
            }
        } else if (name.type == "#" + std::to_string(kDialogType)) {
            file.dialogs_[name.id] = ParseDialogTemplate(data);
        }
        file.data_[{name.type, name.id}] = std::move(data);
    }
    return file;
}

}  // namespace substitute
