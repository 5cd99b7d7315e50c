#include "document/svg/tree/id_index.h"

#include <functional>
#include <utility>

namespace document::svg {

size_t IdIndex::SlotOf(std::string_view id, size_t hash) const {
    const size_t mask = slots_.size() - 1;
    size_t slot = hash & mask;
    while (slots_[slot].element != nullptr && (slots_[slot].hash != hash || slots_[slot].id != id)) slot = (slot + 1) & mask;
    return slot;
}

void IdIndex::Grow() {
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(slots_.empty() ? 64 : slots_.size() * 2));
    for (const Slot& slot : old) {
        if (slot.element != nullptr) slots_[SlotOf(slot.id, slot.hash)] = slot;
    }
}

void IdIndex::Add(std::string_view id, Element* element) {
    if (element == nullptr) return;
    if (2 * (count_ + 1) > slots_.size()) Grow();
    const size_t hash = std::hash<std::string_view>()(id);
    Slot& slot = slots_[SlotOf(id, hash)];
    if (slot.element != nullptr) return;  // the first element with the id keeps it
    slot = {id, element, hash};
    ++count_;
}

Element* IdIndex::Find(std::string_view id) const {
    if (slots_.empty()) return nullptr;
    return slots_[SlotOf(id, std::hash<std::string_view>()(id))].element;
}

}  // namespace document::svg
