#include "xaml/name_comment.h"

#include <cstdint>

namespace {

// Length of the valid UTF-8 sequence at text (strict: shortest form, no surrogates, at most
// U+10FFFF), or 0 if the bytes there do not form one; `character` receives it.
size_t ValidSequenceLength(const unsigned char* text, uint32_t* character) {
    const unsigned char lead = text[0];
    *character = lead;
    if (lead < 0x80) return 1;
    size_t length;
    uint32_t lowest;
    uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, lowest = 0x80, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, lowest = 0x800, code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, lowest = 0x10000, code = lead & 0x07u;
    } else {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80) return 0;  // also stops at the terminator
        code = (code << 6) | (text[i] & 0x3Fu);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    *character = code;
    return length;
}

bool IsControl(uint32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

void WriteNameComment(XamlOutput* out, const char* name) {
    WriteText(out, "\n\n  <!-- ");
    const auto* text = reinterpret_cast<const unsigned char*>(name);
    const unsigned char* run = text;  // start of the bytes that go out unchanged
    const unsigned char* p = text;
    auto flushRun = [&] { WriteBytes(out, reinterpret_cast<const char*>(run), static_cast<size_t>(p - run)); };
    while (*p != 0) {
        if (*p == '-' && p[1] == '-') {
            ++p;
            flushRun();
            WriteText(out, " ");
            run = p;
            continue;
        }
        uint32_t character = 0;
        const size_t length = ValidSequenceLength(p, &character);
        if (length == 0 || IsControl(character)) {
            // One "?" for each stray byte, and one for each control character.
            flushRun();
            WriteText(out, "?");
            p += length == 0 ? 1 : length;
            run = p;
            continue;
        }
        p += length;
    }
    flushRun();
    WriteText(out, " -->");
}
