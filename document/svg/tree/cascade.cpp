#include "document/svg/tree/cascade.h"

#include <array>
#include <bit>
#include <cstdint>
#include <functional>
#include <span>
#include <unordered_map>

#include "document/svg/tree/css_parser.h"
#include "document/svg/tree/errors.h"
#include "document/svg/tree/names.h"
#include "document/svg/values/font_size.h"

namespace document::svg {
namespace {

// A declaration's rank in the cascade: origin and importance first, then specificity, then
// source order. A later declaration of equal rank wins.
enum Layer : uint64_t {
    kPresentationAttribute = 0,
    kSheet = 1,
    kStyleAttribute = 2,
    kImportantSheet = 3,
    kImportantStyleAttribute = 4,
};

uint64_t Rank(Layer layer, uint32_t specificity, uint32_t order) {
    return uint64_t(layer) << 56 | uint64_t(specificity & 0xffffff) << 32 | order;
}

using Ranks = std::array<uint64_t, size_t(Property::kCount)>;

void Apply(Element& element, Ranks& ranks, const CssDeclaration& declaration, uint64_t rank) {
    const size_t index = size_t(declaration.property);
    if (rank >= ranks[index]) {
        ranks[index] = rank;
        element.SetProperty(index, declaration.value);
    }
}

// The sheets' selectors by the most telling part of each: id, else first class, else type.
class SelectorIndex {
public:
    explicit SelectorIndex(const StyleSheet& sheet) : sheet_(sheet) {
        for (uint32_t i = 0; i < sheet.selectors.size(); ++i) {
            const CssSelector& selector = sheet.selectors[i];
            if (!selector.id.empty()) {
                byId_[selector.id].push_back(i);
            } else if (!selector.classes.empty()) {
                byClass_[selector.classes.front()].push_back(i);
            } else if (!selector.type.empty()) {
                byType_[selector.type].push_back(i);
            } else {
                universal_.push_back(i);
            }
        }
    }

    bool Empty() const { return sheet_.selectors.empty(); }

    template <typename Visit>
    void Candidates(const Element& element, const std::vector<std::string_view>& classes,
                    Visit visit) const {
        auto each = [&](const auto& map, std::string_view key) {
            if (key.empty()) return;
            if (auto found = map.find(key); found != map.end()) {
                for (uint32_t i : found->second) visit(sheet_.selectors[i]);
            }
        };
        each(byId_, element.id);
        for (std::string_view name : classes) each(byClass_, name);
        each(byType_, element.name);
        for (uint32_t i : universal_) visit(sheet_.selectors[i]);
    }

private:
    const StyleSheet& sheet_;
    std::unordered_map<std::string_view, std::vector<uint32_t>> byId_, byClass_, byType_;
    std::vector<uint32_t> universal_;
};

bool Matches(const CssSelector& selector, const Element& element,
             const std::vector<std::string_view>& classes) {
    if (!selector.type.empty() && selector.type != element.name) return false;
    if (!selector.id.empty() && selector.id != element.id) return false;
    for (std::string_view wanted : selector.classes) {
        bool found = false;
        for (std::string_view name : classes) found = found || name == wanted;
        if (!found) return false;
    }
    return true;
}

void SplitClasses(std::string_view text, std::vector<std::string_view>& classes) {
    classes.clear();
    size_t position = 0;
    while (position < text.size()) {
        while (position < text.size() && IsSpace(text[position])) ++position;
        const size_t start = position;
        while (position < text.size() && !IsSpace(text[position])) ++position;
        if (position > start) classes.push_back(text.substr(start, position - start));
    }
}

// CSS keywords are ASCII case-insensitive.
bool IsInherit(std::string_view value) {
    constexpr std::string_view kInherit = "inherit";
    if (value.size() != kInherit.size()) return false;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i] >= 'A' && value[i] <= 'Z' ? char(value[i] - 'A' + 'a') : value[i];
        if (c != kInherit[i]) return false;
    }
    return true;
}

// Style attributes parsed into declarations, the same text parsed once: editors write the
// same few styles on thousands of elements. A table of recent texts by hash, without an
// allocation per text; a text that meets another's slot takes it over.
class StyleAttributes {
public:
    std::span<const CssDeclaration> Parse(std::string_view text, TextArena& arena) {
        Entry& entry = entries_[std::hash<std::string_view>()(text) % kEntries];
        if (entry.count == 0 || entry.text != text) {
            if (declarations_.size() > kMaxDeclarations) Clear();
            entry.text = text;
            entry.first = uint32_t(declarations_.size());
            ParseDeclarations(text, arena, declarations_);
            entry.count = uint32_t(declarations_.size()) - entry.first;
            // A text of no declarations is parsed again each time: cheap, as it says nothing.
        }
        return std::span<const CssDeclaration>(declarations_).subspan(entry.first, entry.count);
    }

private:
    static constexpr size_t kEntries = 256;
    static constexpr size_t kMaxDeclarations = 16384;
    struct Entry {
        std::string_view text;
        uint32_t first = 0;
        uint32_t count = 0;
    };
    void Clear() {
        declarations_.clear();
        entries_.fill(Entry{});
    }

    std::array<Entry, kEntries> entries_{};
    std::vector<CssDeclaration> declarations_;
};

}  // namespace

void ApplyStyleSheets(Tree::Storage& storage, const std::vector<CollectedSheet>& sheets,
                      LossReport& losses) {
    StyleSheet sheet;
    for (const CollectedSheet& collected : sheets) {
        ParseStyleSheet(collected.text, storage.text, sheet, [&](std::string_view kind) {
            losses.Add(kind, DescribeElement(*collected.style));
        });
    }
    const SelectorIndex index(sheet);
    std::vector<std::string_view> classes;
    StyleAttributes styles;
    for (Element& element : storage.elements) {
        const std::string_view style = element.Attribute("style");
        if (index.Empty() && style.empty()) continue;
        Ranks ranks{};
        if (!index.Empty()) {
            SplitClasses(element.Attribute("class"), classes);
            index.Candidates(element, classes, [&](const CssSelector& selector) {
                if (!Matches(selector, element, classes)) return;
                const CssRule& rule = sheet.rules[selector.rule];
                for (const CssDeclaration& declaration : rule.declarations) {
                    Apply(element, ranks, declaration,
                          Rank(declaration.important ? kImportantSheet : kSheet,
                               selector.specificity, rule.order));
                }
            });
        }
        if (!style.empty()) {
            const std::span<const CssDeclaration> parsed = styles.Parse(style, storage.text);
            for (uint32_t i = 0; i < parsed.size(); ++i) {
                Apply(element, ranks, parsed[i],
                      Rank(parsed[i].important ? kImportantStyleAttribute : kStyleAttribute, 0, i));
            }
        }
    }
}

void ResolveInheritance(Tree::Storage& storage, const TreeOptions& options) {
    if (storage.root == nullptr) return;
    struct Visit {
        Element* element;
        int depth;
    };
    std::vector<Visit> stack{{storage.root, 1}};
    while (!stack.empty()) {
        const auto [element, depth] = stack.back();
        stack.pop_back();
        if (depth > options.maxDepth) {
            ThrowSvgError(options.fileName, "elements are nested deeper than " +
                                                std::to_string(options.maxDepth) +
                                                " levels once <use> elements are instantiated");
        }
        const Element* parent = element->parent;
        // Before inheritance fills it in: the element's own value, if it gives a valid one.
        const double parentFontSize = parent != nullptr ? parent->fontSize : kMediumFontSize;
        const std::string_view fontSize = element->Get(Property::kFontSize);
        element->fontSize = fontSize.empty() ? parentFontSize : ComputeFontSize(fontSize, parentFontSize).value_or(parentFontSize);
        static const uint32_t kInherited = [] {
            uint32_t inherited = 0;
            for (size_t i = 0; i < size_t(Property::kCount); ++i) {
                if (IsInherited(Property(i))) inherited |= uint32_t(1) << i;
            }
            return inherited;
        }();
        // "inherit" among the element's own values takes the parent's value of any property.
        for (uint32_t own = element->properties.Mask(); own != 0; own &= own - 1) {
            const size_t i = size_t(std::countr_zero(own));
            if (IsInherit(element->properties.Get(i))) {
                element->SetProperty(i, parent != nullptr ? parent->properties.Get(i) : std::string_view());
            }
        }
        // The inherited properties the element leaves unset take the parent's value.
        if (parent != nullptr) {
            for (uint32_t taken = parent->properties.Mask() & kInherited & ~element->properties.Mask(); taken != 0; taken &= taken - 1) {
                const size_t i = size_t(std::countr_zero(taken));
                element->SetProperty(i, parent->properties.Get(i));
            }
        }
        for (Element* child : element->children) stack.push_back({child, depth + 1});
    }
}

}  // namespace document::svg
