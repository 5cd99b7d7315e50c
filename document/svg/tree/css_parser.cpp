#include "document/svg/tree/css_parser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "document/svg/tree/names.h"

namespace document::svg {
namespace {

bool IsQuote(char c) { return c == '"' || c == '\''; }

// The index just past the string that starts at `start` (a quote), or the end of the text for
// one left open.
size_t SkipString(std::string_view text, size_t start) {
    const char quote = text[start];
    for (size_t i = start + 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == quote || text[i] == '\n') {
            return i + 1;
        }
    }
    return text.size();
}

// The text with its /* comments */ taken out (each becomes a space), copied only when there
// are any. Comment marks inside strings are text.
std::string_view StripComments(std::string_view text, TextArena& arena) {
    if (text.find("/*") == std::string_view::npos) return text;
    std::string stripped;
    stripped.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (IsQuote(text[i])) {
            const size_t end = SkipString(text, i);
            stripped.append(text.substr(i, end - i));
            i = end;
        } else if (text.compare(i, 2, "/*") == 0) {
            const size_t end = text.find("*/", i + 2);
            stripped.push_back(' ');
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else {
            stripped.push_back(text[i++]);
        }
    }
    return arena.Copy(stripped);
}

// The index of the first `stop` character at the top level (outside strings, parentheses and
// nested blocks) from `start`, or the end of the text.
size_t FindTopLevel(std::string_view text, size_t start, std::string_view stops) {
    int parentheses = 0;
    for (size_t i = start; i < text.size();) {
        const char c = text[i];
        if (IsQuote(c)) {
            i = SkipString(text, i);
            continue;
        }
        if (parentheses == 0 && (c == stops[0] || (stops.size() > 1 && stops.find(c) != std::string_view::npos))) return i;
        if (c == '(') ++parentheses;
        if (c == ')' && parentheses > 0) --parentheses;
        ++i;
    }
    return text.size();
}

// The index just past the block whose '{' is at `open`, or the end of the text.
size_t SkipBlock(std::string_view text, size_t open) {
    int depth = 0;
    for (size_t i = open; i < text.size();) {
        const char c = text[i];
        if (IsQuote(c)) {
            i = SkipString(text, i);
            continue;
        }
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) return i + 1;
        ++i;
    }
    return text.size();
}

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(),
                      [](char a, char b) { return ToLower(a) == b; });
}

// Takes a trailing "!important" (any case, space allowed after the '!') off `value`.
bool TakeImportant(std::string_view& value) {
    constexpr std::string_view kImportant = "important";
    if (value.size() < kImportant.size() + 1 ||
        !EqualsIgnoringCase(value.substr(value.size() - kImportant.size()), kImportant)) {
        return false;
    }
    std::string_view rest = TrimSpace(value.substr(0, value.size() - kImportant.size()));
    if (rest.empty() || rest.back() != '!') return false;
    value = TrimSpace(rest.substr(0, rest.size() - 1));
    return true;
}

void AddDeclaration(std::string_view name, std::string_view value,
                    std::vector<CssDeclaration>& out) {
    // Property names are ASCII case-insensitive; the ones read here are short.
    char lower[24];
    if (name.empty() || name.size() > sizeof lower) return;
    std::transform(name.begin(), name.end(), lower, ToLower);
    const std::string_view lowerName(lower, name.size());

    const bool important = TakeImportant(value);
    if (value.empty()) return;
    if (lowerName == "marker") {  // the shorthand of the three marker properties
        for (Property property : {Property::kMarkerStart, Property::kMarkerMid, Property::kMarkerEnd}) {
            out.push_back({property, value, important});
        }
        return;
    }
    Property property;
    if (PropertyFromName(lowerName, property)) out.push_back({property, value, important});
}

// The end of the declaration that starts at `start`: its first top-level ';', or the end of the
// text. Nearly every declaration holds no string and no parenthesis, so the first ';' is it.
size_t DeclarationEnd(std::string_view text, size_t start) {
    // Per byte: 1 the end, 2 a string or a parenthesis (the full reading decides), 0 neither.
    static constexpr auto kKinds = [] {
        std::array<uint8_t, 256> kinds{};
        kinds[';'] = 1;
        kinds['"'] = kinds['\''] = kinds['('] = 2;
        return kinds;
    }();
    for (size_t i = start; i < text.size(); ++i) {
        const uint8_t kind = kKinds[static_cast<unsigned char>(text[i])];
        if (kind == 1) return i;
        if (kind == 2) return FindTopLevel(text, start, ";");
    }
    return text.size();
}

void ParseDeclarationText(std::string_view text, std::vector<CssDeclaration>& out) {
    for (size_t start = 0; start < text.size();) {
        const size_t end = DeclarationEnd(text, start);
        const std::string_view declaration = text.substr(start, end - start);
        if (const size_t colon = declaration.find(':'); colon != std::string_view::npos) {
            AddDeclaration(TrimSpace(declaration.substr(0, colon)),
                           TrimSpace(declaration.substr(colon + 1)), out);
        }
        start = end + 1;
    }
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

std::string_view TakeName(std::string_view text, size_t& position) {
    const size_t start = position;
    while (position < text.size() && IsNameChar(text[position])) ++position;
    return text.substr(start, position - start);
}

// Reads one compound selector; false for what this reader cannot match (combinators,
// attribute selectors, pseudo-classes, namespaces, escapes) or an empty one.
bool ParseSelector(std::string_view text, CssSelector& selector) {
    text = TrimSpace(text);
    if (text.empty()) return false;
    uint32_t ids = 0, classes = 0, types = 0;
    size_t position = 0;
    if (text[0] == '*') {
        position = 1;
    } else if (IsNameChar(text[0])) {
        selector.type = TakeName(text, position);
        types = 1;
    }
    while (position < text.size()) {
        const char mark = text[position++];
        if (mark != '#' && mark != '.') return false;
        const std::string_view name = TakeName(text, position);
        if (name.empty()) return false;
        if (mark == '#') {
            // Two different ids in one compound match no element: a type no element has.
            if (!selector.id.empty() && selector.id != name) selector.type = "\x01";
            selector.id = name;
            ++ids;
        } else {
            selector.classes.push_back(name);
            ++classes;
        }
    }
    selector.specificity = std::min(ids, 255u) << 16 | std::min(classes, 255u) << 8 |
                           std::min(types, 255u);
    return true;
}

}  // namespace

void ParseDeclarations(std::string_view text, TextArena& arena, std::vector<CssDeclaration>& out) {
    ParseDeclarationText(StripComments(text, arena), out);
}

void ParseStyleSheet(std::string_view text, TextArena& arena, StyleSheet& sheet,
                     const CssProblem& problem) {
    text = StripComments(text, arena);
    std::vector<CssSelector> selectors;
    for (size_t position = 0; position < text.size();) {
        if (IsSpace(text[position])) {
            ++position;
            continue;
        }
        // The markup comment marks that sheets may be wrapped in are not CSS.
        if (text.compare(position, 4, "<!--") == 0) {
            position += 4;
            continue;
        }
        if (text.compare(position, 3, "-->") == 0) {
            position += 3;
            continue;
        }
        if (text[position] == '@') {
            // @import, @media, @font-face...: skipped whole, never loaded.
            size_t nameEnd = position + 1;
            const std::string_view name = TakeName(text, nameEnd);
            problem("CSS @" + std::string(name) + " rule skipped");
            const size_t end = FindTopLevel(text, position, ";{");
            position = end < text.size() && text[end] == '{' ? SkipBlock(text, end) : end + 1;
            continue;
        }
        const size_t open = FindTopLevel(text, position, "{");
        if (open == text.size()) break;  // a selector with no block: nothing to apply
        const size_t close = SkipBlock(text, open);
        const std::string_view prelude = text.substr(position, open - position);
        const size_t blockEnd = close > open + 1 && text[close - 1] == '}' ? close - 1 : close;
        const std::string_view block = text.substr(open + 1, blockEnd - open - 1);
        position = close;

        selectors.clear();
        bool readable = true;
        for (size_t start = 0; start <= prelude.size();) {
            const size_t comma = FindTopLevel(prelude, start, ",");
            CssSelector selector;
            if (!ParseSelector(prelude.substr(start, comma - start), selector)) {
                readable = false;
                break;
            }
            selectors.push_back(std::move(selector));
            start = comma + 1;
        }
        if (!readable) {
            problem("CSS selector not supported");
            continue;
        }
        CssRule rule;
        rule.order = uint32_t(sheet.rules.size());
        ParseDeclarationText(block, rule.declarations);
        if (rule.declarations.empty()) continue;
        for (CssSelector& selector : selectors) {
            selector.rule = uint32_t(sheet.rules.size());
            sheet.selectors.push_back(std::move(selector));
        }
        sheet.rules.push_back(std::move(rule));
    }
}

}  // namespace document::svg
