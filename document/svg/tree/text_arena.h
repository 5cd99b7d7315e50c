// Append-only storage for the tree's text: every string_view in a Tree points into one of
// these blocks, which never move, so the tree holds no string of its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace document::svg {

class TextArena {
public:
    // A lasting copy of `text`.
    std::string_view Copy(std::string_view text);
    // One lasting copy per distinct text (element and attribute names repeat a lot).
    std::string_view Intern(std::string_view text);

private:
    static constexpr size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    size_t freeSize_ = 0;
    std::unordered_map<std::string_view, std::string_view> interned_;
};

}  // namespace document::svg
