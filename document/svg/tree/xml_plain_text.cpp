#include "document/svg/tree/xml_plain_text.h"

#include "document/svg/values/scanner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace document::svg {
namespace {

// Whether 64 bytes are all printable ASCII but '&', or tab, LF and CR: then they need no
// closer look. Written so that the compiler checks many bytes an instruction. With kCopy the
// bytes are also stored at `copy`, in the same pass.
template <bool kCopy>
bool CheckPlainBlock(const unsigned char* bytes, unsigned char* copy) {
#if defined(__SSE2__)
    // Sixteen bytes a step. As signed bytes, those from 0x80 on are negative, so "less than
    // 0x20" catches them along with the control characters.
    const __m128i space = _mm_set1_epi8(0x20), amp = _mm_set1_epi8('&');
    const __m128i tab = _mm_set1_epi8('\t'), lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    __m128i special = _mm_setzero_si128();
    for (int i = 0; i < 64; i += 16) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        if constexpr (kCopy) _mm_storeu_si128(reinterpret_cast<__m128i*>(copy + i), c);
        const __m128i allowedControl = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, tab), _mm_cmpeq_epi8(c, lf)), _mm_cmpeq_epi8(c, cr));
        special = _mm_or_si128(special, _mm_andnot_si128(allowedControl, _mm_cmplt_epi8(c, space)));
        special = _mm_or_si128(special, _mm_cmpeq_epi8(c, amp));
    }
    return _mm_movemask_epi8(special) == 0;
#else
    unsigned char special = 0;
    for (int i = 0; i < 64; ++i) {
        const unsigned char c = bytes[i];
        special |= static_cast<unsigned char>((c >= 0x80) | (c == '&') | ((c < 0x20) & (c != '\t') & (c != '\n') & (c != '\r')));
    }
    if constexpr (kCopy) std::memcpy(copy, bytes, 64);
    return special == 0;
#endif
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsXmlCharacter(uint32_t code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// The length of the reference starting at text[at] == '&', or 0 when it is not one of XML's
// five entities or a character reference to an XML character.
size_t ReferenceLength(std::string_view text, size_t at) {
    const std::string_view rest = text.substr(at + 1);
    for (const std::string_view entity : {"amp;", "lt;", "gt;", "quot;", "apos;"}) {
        if (rest.substr(0, entity.size()) == entity) return 1 + entity.size();
    }
    if (rest.empty() || rest[0] != '#') return 0;
    const bool hex = rest.size() > 1 && rest[1] == 'x';
    size_t i = hex ? 2 : 1;
    uint32_t code = 0;
    const size_t firstDigit = i;
    for (; i < rest.size() && (hex ? IsHexDigit(rest[i]) : IsDigit(rest[i])); ++i) {
        const char c = rest[i];
        const uint32_t digit = IsDigit(c) ? uint32_t(c - '0') : uint32_t((c | 0x20) - 'a' + 10);
        code = code * (hex ? 16 : 10) + digit;
        if (code > 0x10FFFF) return 0;
    }
    if (i == firstDigit || i == rest.size() || rest[i] != ';' || !IsXmlCharacter(code)) return 0;
    return 1 + i + 1;
}

// The length of the UTF-8 sequence of an XML character starting at `bytes`, or 0.
size_t Utf8SequenceLength(const unsigned char* bytes, size_t available) {
    const unsigned char lead = bytes[0];
    size_t length;
    uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u;
    } else {
        return 0;
    }
    if (available < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (bytes[i] & 0x3Fu);
    }
    const uint32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < shortest[length] || !IsXmlCharacter(code)) return 0;
    return length;
}

bool SkipSpace(std::string_view text, size_t& at) {
    const size_t from = at;
    while (at < text.size() && IsXmlSpace(text[at])) ++at;
    return at > from;
}

bool SkipWord(std::string_view text, size_t& at, std::string_view word) {
    if (text.substr(at, word.size()) != word) return false;
    at += word.size();
    return true;
}

// `S? '=' S? quote value quote` at `at`: the value, or false.
bool ReadAttributeValue(std::string_view text, size_t& at, std::string_view& value) {
    SkipSpace(text, at);
    if (!SkipWord(text, at, "=")) return false;
    SkipSpace(text, at);
    if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) return false;
    const size_t end = text.find(text[at], at + 1);
    if (end == std::string_view::npos) return false;
    value = text.substr(at + 1, end - at - 1);
    at = end + 1;
    return true;
}

// An XML declaration at the start of the text (after a byte order mark) must read
// <?xml version="1.0" [encoding="UTF-8"] [standalone="yes"|"no"] ?>; none at all is plain too.
bool HasPlainDeclaration(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.substr(0, 5) != "<?xml" || (text.size() > 5 && !IsXmlSpace(text[5]) && text[5] != '?')) {
        return true;
    }
    size_t at = 5;
    std::string_view value;
    if (!SkipSpace(text, at) || !SkipWord(text, at, "version") || !ReadAttributeValue(text, at, value) ||
        value != "1.0") {
        return false;
    }
    bool space = SkipSpace(text, at);
    if (space && SkipWord(text, at, "encoding")) {
        if (!ReadAttributeValue(text, at, value) || !(value.size() == 5 && scan::MatchesFolded(value, 0, "utf-8"))) return false;
        space = SkipSpace(text, at);
    }
    if (space && SkipWord(text, at, "standalone")) {
        if (!ReadAttributeValue(text, at, value) || (value != "yes" && value != "no")) return false;
        SkipSpace(text, at);
    }
    return SkipWord(text, at, "?>");
}

bool IsPubidCharacter(char c) {
    return c == ' ' || c == '\r' || c == '\n' || IsAsciiLetter(c) || IsDigit(c) ||
           std::strchr("-'()+,./:=?;!*#@$_%", c) != nullptr;
}

}  // namespace

namespace {

template <bool kCopy>
bool CheckPlainXmlText(std::string_view text, unsigned char* copy) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    size_t at = 0;
    while (at < size) {
        if (at + 64 <= size && CheckPlainBlock<kCopy>(bytes + at, kCopy ? copy + at : nullptr)) {
            at += 64;
            continue;
        }
        // A block with something to look at: byte by byte to its end.
        const size_t blockStart = at;
        const size_t end = std::min(size, at + 64);
        while (at < end) {
            const unsigned char c = bytes[at];
            if (c >= 0x80) {
                const size_t length = Utf8SequenceLength(bytes + at, size - at);
                if (length == 0) return false;
                at += length;
            } else if (c == '&') {
                const size_t length = ReferenceLength(text, at);
                if (length == 0) return false;
                at += length;
            } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                return false;
            } else {
                ++at;
            }
        }
        // A sequence or reference may reach past the block's end.
        if constexpr (kCopy) std::memcpy(copy + blockStart, bytes + blockStart, at - blockStart);
    }
    return HasPlainDeclaration(text);
}

}  // namespace

bool CopyPlainXmlText(std::string_view text, char* copy) {
    return CheckPlainXmlText<true>(text, reinterpret_cast<unsigned char*>(copy));
}

bool IsPlainXmlText(std::string_view text) { return CheckPlainXmlText<false>(text, nullptr); }

bool IsPlainDoctype(std::string_view content) {
    size_t at = 0;
    SkipSpace(content, at);
    const size_t nameStart = at;
    while (at < content.size() && !IsXmlSpace(content[at])) ++at;
    if (!IsPlainQualifiedName(content.substr(nameStart, at - nameStart))) return false;
    const auto quoted = [&](bool pubid) {
        if (!SkipSpace(content, at) || at >= content.size()) return false;
        const char quote = content[at];
        if (quote != '"' && quote != '\'') return false;
        const size_t end = content.find(quote, at + 1);
        if (end == std::string_view::npos) return false;
        for (size_t i = at + 1; pubid && i < end; ++i) {
            if (!IsPubidCharacter(content[i])) return false;
        }
        at = end + 1;
        return true;
    };
    const size_t afterName = at;
    SkipSpace(content, at);
    if (at < content.size()) {
        if (at == afterName) return false;
        if (SkipWord(content, at, "PUBLIC")) {
            if (!quoted(true) || !quoted(false)) return false;
        } else if (SkipWord(content, at, "SYSTEM")) {
            if (!quoted(false)) return false;
        } else {
            return false;
        }
    }
    SkipSpace(content, at);
    return at == content.size();
}

namespace {

// Per byte: 1 a character that may start a part of a name (ASCII letter, '_'), 2 one that may
// only follow (digit, '-', '.'), 3 the colon, 0 any other (the terminating NUL among them).
constexpr std::array<uint8_t, 256> kNameKinds = [] {
    std::array<uint8_t, 256> kinds{};
    for (int c = 'a'; c <= 'z'; ++c) kinds[size_t(c)] = kinds[size_t(c - 'a' + 'A')] = 1;
    kinds['_'] = 1;
    for (int c = '0'; c <= '9'; ++c) kinds[size_t(c)] = 2;
    kinds['-'] = kinds['.'] = 2;
    kinds[':'] = 3;
    return kinds;
}();

// Takes the byte at offset `at` of a name; false when it cannot continue the name.
// `partStart` is true at the start of the name and after its colon, `colon` its offset or npos.
inline bool TakeNameByte(unsigned char c, size_t at, size_t& colon, bool& partStart) {
    const uint8_t kind = kNameKinds[c];
    if (kind == 1 || (kind == 2 && !partStart)) {
        partStart = false;
        return true;
    }
    if (kind == 3 && colon == std::string_view::npos && !partStart) {
        colon = at;
        partStart = true;
        return true;
    }
    return false;
}

}  // namespace

bool IsPlainQualifiedName(std::string_view name) {
    size_t colon = std::string_view::npos;
    bool partStart = true;
    for (size_t i = 0; i < name.size(); ++i) {
        if (!TakeNameByte(static_cast<unsigned char>(name[i]), i, colon, partStart)) return false;
    }
    return !partStart;
}

bool ScanPlainQualifiedName(const char* name, size_t& length, size_t& colon) {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(name);
    colon = std::string_view::npos;
    bool partStart = true;
    size_t i = 0;
    while (TakeNameByte(bytes[i], i, colon, partStart)) ++i;
    length = i;
    return bytes[i] == '\0' && !partStart;
}

}  // namespace document::svg
