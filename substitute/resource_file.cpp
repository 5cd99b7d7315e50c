#include "substitute/resource_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace substitute {

namespace {

constexpr uint32_t kStringType = 6;
constexpr uint32_t kDialogType = 5;
constexpr uint32_t kDialogExSignature = 0xFFFF0001;  // dlgVer 1, signature 0xFFFF
constexpr uint32_t kSetFontStyle = 0x40;             // DS_SETFONT: the template names a font

// Little-endian reader over a byte range that refuses to run past its end.
class Reader {
public:
    Reader(const std::vector<uint8_t>& bytes, size_t begin, size_t end) : bytes_(bytes), pos_(begin), end_(end) {}

    size_t Position() const { return pos_; }
    bool AtEnd() const { return pos_ >= end_; }
    void Need(size_t n) const {
        if (n > end_ - pos_) throw ResourceError("truncated resource data");
    }
    uint16_t Word() {
        Need(2);
        const uint16_t value = uint16_t(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
        pos_ += 2;
        return value;
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | (uint32_t(Word()) << 16);
    }
    void Skip(size_t n) {
        Need(n);
        pos_ += n;
    }
    // Moves to the next multiple of four, counted from `origin`.
    void AlignFrom(size_t origin) {
        const size_t offset = (pos_ - origin) % 4;
        if (offset != 0) pos_ = std::min(end_, pos_ + 4 - offset);
    }
    // A NUL-terminated UTF-16 string.
    std::u16string String() {
        std::u16string text;
        for (uint16_t c = Word(); c != 0; c = Word()) text.push_back(char16_t(c));
        return text;
    }
    // Either 0xFFFF and an ordinal, or a NUL-terminated UTF-16 name.
    struct NameOrOrdinal {
        bool isOrdinal;
        uint16_t ordinal;
        std::u16string name;
    };
    NameOrOrdinal NameOrId() {
        Need(2);
        if (bytes_[pos_] == 0xFF && bytes_[pos_ + 1] == 0xFF) {
            pos_ += 2;
            return {true, Word(), {}};
        }
        return {false, 0, String()};
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_;
    size_t end_;
};

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// "#" and the number: how resources named by ordinal are spelled. (Built by appending: GCC 12
// at -O3 warns falsely about "#" + std::to_string(...).)
std::string OrdinalName(uint32_t ordinal) {
    std::string name(1, '#');
    name += std::to_string(ordinal);
    return name;
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return text;
}

constexpr const char* kPredefinedClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};

// The predefined window classes, by atom or by name in any case, get their usual spelling.
std::string ClassName(const Reader::NameOrOrdinal& cls) {
    if (!cls.isOrdinal) {
        const std::string name = Utf8(cls.name);
        for (const char* predefined : kPredefinedClasses) {
            if (UpperAscii(predefined) == UpperAscii(name)) return predefined;
        }
        return name;
    }
    switch (cls.ordinal) {
        case 0x80: return "Button";
        case 0x81: return "Edit";
        case 0x82: return "Static";
        case 0x83: return "ListBox";
        case 0x84: return "ScrollBar";
        case 0x85: return "ComboBox";
        default: return OrdinalName(cls.ordinal);
    }
}

std::string TextOf(const Reader::NameOrOrdinal& title) {
    return title.isOrdinal ? OrdinalName(title.ordinal) : Utf8(title.name);
}

// A block of sixteen length-prefixed strings: entries (block - 1) * 16 to block * 16 - 1.
void ReadStringBlock(const std::vector<uint8_t>& data, uint32_t block, std::map<uint32_t, std::string>& strings) {
    if (block == 0) throw ResourceError("string table block 0");
    Reader reader(data, 0, data.size());
    for (uint32_t i = 0; i < 16 && !reader.AtEnd(); ++i) {
        const uint16_t length = reader.Word();
        std::u16string text;
        for (uint16_t k = 0; k < length; ++k) text.push_back(char16_t(reader.Word()));
        if (length > 0) strings[(block - 1) * 16 + i] = Utf8(text);
    }
}

}  // namespace

DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& data) {
    Reader reader(data, 0, data.size());
    DialogTemplate dialog;
    reader.Need(4);
    const bool extended = (uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                           uint32_t(data[3]) << 24) == kDialogExSignature;
    uint32_t style = 0;
    if (extended) {
        reader.Skip(4 + 4 + 4);  // version and signature, help id, extended style
        style = reader.Dword();
    } else {
        style = reader.Dword();
        reader.Skip(4);  // extended style
    }
    const uint16_t count = reader.Word();
    reader.Skip(4 * 2);  // x, y, cx, cy
    reader.NameOrId();   // menu
    reader.NameOrId();   // window class
    dialog.caption = Utf8(reader.String());
    if ((style & kSetFontStyle) != 0) {
        reader.Skip(2);                  // point size
        if (extended) reader.Skip(2 + 2);  // weight, italic and character set
        reader.String();                 // typeface
    }
    for (uint16_t i = 0; i < count; ++i) {
        reader.AlignFrom(0);
        DialogControl control{};
        if (extended) {
            reader.Skip(4 + 4);  // help id, extended style
            control.style = reader.Dword();
            reader.Skip(4 * 2);
            control.id = int32_t(reader.Dword());
        } else {
            control.style = reader.Dword();
            reader.Skip(4 + 4 * 2);  // extended style, x, y, cx, cy
            control.id = int16_t(reader.Word());
        }
        control.className = ClassName(reader.NameOrId());
        control.text = TextOf(reader.NameOrId());
        reader.Skip(reader.Word());  // creation data
        dialog.controls.push_back(std::move(control));
    }
    return dialog;
}

ResourceFile ResourceFile::Parse(const std::vector<uint8_t>& bytes) {
    ResourceFile file;
    size_t entry = 0;
    while (entry < bytes.size()) {
        Reader header(bytes, entry, bytes.size());
        const uint32_t dataSize = header.Dword();
        const uint32_t headerSize = header.Dword();
        const Reader::NameOrOrdinal type = header.NameOrId();
        const Reader::NameOrOrdinal name = header.NameOrId();
        if (headerSize < 8 || headerSize > bytes.size() - entry || dataSize > bytes.size() - entry - headerSize) {
            throw ResourceError("malformed resource header at byte " + std::to_string(entry));
        }
        const size_t dataStart = entry + headerSize;
        std::vector<uint8_t> data(bytes.begin() + long(dataStart), bytes.begin() + long(dataStart + dataSize));
        entry = dataStart + dataSize;
        entry += (4 - entry % 4) % 4;

        if (!name.isOrdinal) continue;  // the plug-in names every resource it reads by number
        const std::string typeKey = type.isOrdinal ? OrdinalName(type.ordinal) : UpperAscii(Utf8(type.name));
        if (type.isOrdinal && type.ordinal == 0) continue;  // the empty entry that starts every file
        if (type.isOrdinal && type.ordinal == kStringType) ReadStringBlock(data, name.ordinal, file.strings_);
        if (type.isOrdinal && type.ordinal == kDialogType) file.dialogs_[name.ordinal] = ParseDialogTemplate(data);
        file.data_[{typeKey, name.ordinal}] = std::move(data);
    }
    return file;
}

ResourceFile ResourceFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ResourceError(path + ": cannot open the resource file");
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        return Parse(bytes);
    } catch (const ResourceError& error) {
        throw ResourceError(path + ": " + error.what());
    }
}

std::optional<std::string> ResourceFile::String(uint32_t id) const {
    auto it = strings_.find(id);
    if (it == strings_.end()) return std::nullopt;
    return it->second;
}

const DialogTemplate* ResourceFile::Dialog(uint32_t id) const {
    auto it = dialogs_.find(id);
    return it == dialogs_.end() ? nullptr : &it->second;
}

const std::vector<uint8_t>* ResourceFile::Data(std::string_view type, uint32_t id) const {
    auto it = data_.find({UpperAscii(std::string(type)), id});
    return it == data_.end() ? nullptr : &it->second;
}

}  // namespace substitute
