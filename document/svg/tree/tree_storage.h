// What a Tree owns: its elements and the text they point into.
#pragma once

#include <memory>
#include <string_view>

#include "document/svg/tree/block_pool.h"
#include "document/svg/tree/id_index.h"
#include "document/svg/tree/text_arena.h"
#include "document/svg/tree/tree.h"

namespace document::svg {

struct Tree::Storage {
    TextArena text;
    // What the parser's own text lives in, where the elements point into it.
    std::shared_ptr<const void> parsedText;
    // Elements never move once made: the parsed ones in document order, then <use> copies.
    BlockList<Element> elements;
    RunPool<std::pair<std::string_view, std::string_view>> attributes;
    Element* root = nullptr;
    // Parsed elements, in document order, come first; <use> copies after them. Set when parsing
    // ends.
    size_t parsedElements = 0;

    // The first element with this id among the parsed ones (copies are never found by id), or
    // null. The index is made when first asked for: most files refer to no id.
    Element* FindById(std::string_view id);

private:
    IdIndex ids_;
    bool idsIndexed_ = false;
};

}  // namespace document::svg
