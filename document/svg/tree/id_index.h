// The first element with each id, for references (url(#id), href="#id"). Nearly every element of
// an editor's file has an id, so the table is open-addressed: no allocation per id.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace document::svg {

struct Element;

class IdIndex {
public:
    // Adds the element under its id unless an element already has that id.
    void Add(std::string_view id, Element* element);
    // The element with this id, or null.
    Element* Find(std::string_view id) const;

private:
    struct Slot {
        std::string_view id;
        Element* element = nullptr;  // null: an empty slot
        size_t hash = 0;             // compared before the ids, which lie all over the text
    };
    size_t SlotOf(std::string_view id, size_t hash) const;
    void Grow();

    std::vector<Slot> slots_;  // a power of two in size, at most half full
    size_t count_ = 0;
};

}  // namespace document::svg
