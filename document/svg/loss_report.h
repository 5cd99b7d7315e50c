// What an SVG file holds that the host's document cannot: counted per kind, with the id (or
// line) of the first element of each kind, reported once per kind.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace document::svg {

class LossReport {
public:
    struct Entry {
        std::string kind;   // such as "mask" or "stroke of an unevenly stretched shape"
        size_t count = 0;
        std::string first;  // "id \"x\"" or "line 12" of the first element
    };

    // `where` names the element: its id when it has one, else its line.
    void Add(std::string_view kind, std::string_view where);
    bool Empty() const { return entries_.empty(); }
    // In the order the kinds were first met.
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
    std::map<std::string, size_t, std::less<>> index_;
};

}  // namespace document::svg
