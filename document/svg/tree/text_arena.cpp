#include "document/svg/tree/text_arena.h"

#include <cstring>

namespace document::svg {

std::string_view TextArena::Copy(std::string_view text) {
    if (text.empty()) return {};
    if (text.size() > kBlockSize / 4) {
        // Large texts (path data, style sheets) get a block of their own, so the current
        // block's free space is not wasted.
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(blocks_.back().get(), text.data(), text.size());
        return {blocks_.back().get(), text.size()};
    }
    if (freeSize_ < text.size()) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        free_ = blocks_.back().get();
        freeSize_ = kBlockSize;
    }
    std::memcpy(free_, text.data(), text.size());
    std::string_view copy(free_, text.size());
    free_ += text.size();
    freeSize_ -= text.size();
    return copy;
}

std::string_view TextArena::Intern(std::string_view text) {
    if (auto found = interned_.find(text); found != interned_.end()) return found->second;
    std::string_view copy = Copy(text);
    interned_.emplace(copy, copy);
    return copy;
}

}  // namespace document::svg
