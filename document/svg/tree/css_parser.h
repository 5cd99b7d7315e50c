// The CSS that SVG files carry: declaration blocks (the style attribute) and <style> sheets
// whose selectors are simple compounds (type, universal, class, id: "rect.a#b") in lists.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "document/svg/tree/text_arena.h"
#include "document/svg/tree/tree.h"

namespace document::svg {

struct CssDeclaration {
    Property property;
    std::string_view value;  // trimmed, without "!important"
    bool important = false;
};

// One compound selector of a rule's list.
struct CssSelector {
    std::string_view type;  // empty for any element
    std::string_view id;    // empty for none
    std::vector<std::string_view> classes;
    uint32_t specificity = 0;  // ids, classes and types, a byte each from the high end
    uint32_t rule = 0;         // index in StyleSheet::rules
};

struct CssRule {
    std::vector<CssDeclaration> declarations;
    uint32_t order = 0;  // of the rule among all the sheets' rules
};

struct StyleSheet {
    std::vector<CssSelector> selectors;
    std::vector<CssRule> rules;
};

// What a sheet holds that is not read: a rule whose selector cannot be matched, an @-rule.
// `kind` is a loss kind such as "CSS selector not supported".
using CssProblem = std::function<void(std::string_view kind)>;

// The declarations of the properties the converter reads, in order (later ones win);
// declarations of other properties and malformed ones are passed over. The values point into
// `text`, or into `arena` when the text had comments to take out.
void ParseDeclarations(std::string_view text, TextArena& arena, std::vector<CssDeclaration>& out);

// Adds the rules of one sheet to `sheet`, after those already there. The values point into
// `text` or `arena`, which must outlive the sheet.
void ParseStyleSheet(std::string_view text, TextArena& arena, StyleSheet& sheet,
                     const CssProblem& problem);

}  // namespace document::svg
