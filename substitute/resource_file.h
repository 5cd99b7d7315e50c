// Reads the plug-in's compiled resources: a 32-bit Windows .res file as the resource
// compiler writes it (a sequence of entries, each a header naming type and id, then data).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace substitute {

class ResourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DialogControl {
    int32_t id;              // -1 (0xFFFF) for controls without an id
    std::string className;   // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" or the name given
    std::string text;        // UTF-8
    uint32_t style;
};

struct DialogTemplate {
    std::string caption;
    std::vector<DialogControl> controls;
};

class ResourceFile {
public:
    static ResourceFile Load(const std::string& path);
    static ResourceFile Parse(const std::vector<uint8_t>& bytes);
#if defined(_WIN32)
    // The resources linked into a loaded module (its HMODULE), read with the system's
    // resource functions (resource_module_windows.cpp).
    static ResourceFile FromModule(void* module);
#endif

    // String-table entry `id` in UTF-8; nothing when the table has no such string or it is empty.
    std::optional<std::string> String(uint32_t id) const;
    // The dialog template `id` (DIALOG or DIALOGEX), or null.
    const DialogTemplate* Dialog(uint32_t id) const;
    // Raw data of a resource. `type` is a type name such as "PIPL" or an ordinal as "#6".
    const std::vector<uint8_t>* Data(std::string_view type, uint32_t id) const;

private:
    std::map<std::pair<std::string, uint32_t>, std::vector<uint8_t>> data_;  // resources with an ordinal id
    std::map<uint32_t, std::string> strings_;
    std::map<uint32_t, DialogTemplate> dialogs_;
};

// The controls of a dialog template; throws ResourceError when it is malformed.
DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& data);

}  // namespace substitute
