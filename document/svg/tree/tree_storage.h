// What a Tree owns: its elements and the text they point into.
#pragma once

#include <memory>
#include <string_view>
#include <algorithm>
#include <vector>

#include "document/svg/tree/block_pool.h"
#include "document/svg/tree/text_arena.h"
#include "document/svg/tree/tree.h"

namespace document::svg {

// Elements by id: gathered while parsing, sorted once when the parse is done, then searched.
// One entry per element with an id, without an allocation for each.
class IdIndex {
public:
    void Add(std::string_view id, Element* element) { entries_.push_back({id, element}); }
    // Sorts by id; of elements sharing an id, the first in the file is kept.
    void Finish() {
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
        entries_.erase(std::unique(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.id == b.id; }),
                       entries_.end());
    }
    Element* Find(std::string_view id) const {
        const auto found = std::lower_bound(entries_.begin(), entries_.end(), id,
                                            [](const Entry& entry, std::string_view key) { return entry.id < key; });
        return found != entries_.end() && found->id == id ? found->element : nullptr;
    }

private:
    struct Entry {
        std::string_view id;
        Element* element;
    };
    std::vector<Entry> entries_;
};

struct Tree::Storage {
    TextArena text;
    // What the parser's own text lives in, where the elements point into it.
    std::shared_ptr<const void> parsedText;
    // Elements never move once made: the parsed ones in document order, then <use> copies.
    BlockList<Element> elements;
    RunPool<std::pair<std::string_view, std::string_view>> attributes;
    Element* root = nullptr;
    // The first element with each id, among the parsed ones (copies are never found by id).
    IdIndex ids;
};

}  // namespace document::svg
