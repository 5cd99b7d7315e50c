// The line ends of XML text, listed before a parser that works in place writes into the text
// (it ends names with NUL bytes, often over the line end after them, and turns line ends in
// attribute values into spaces): the lines of offsets are then told without the text. Line ends
// are counted as LineCounter counts them: LF, CR LF and a lone CR.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace document::svg {

class LineEnds {
public:
    // Lists the line ends of `text`. False, with nothing listed, when there are more than
    // `most` of them or the text is too large for 32-bit offsets.
    bool List(std::string_view text, size_t most) {
        ends_.clear();
        next_ = 0;
        if (text.size() > std::numeric_limits<uint32_t>::max()) return false;
        const char* const begin = text.data();
        const char* const end = begin + text.size();
        const bool carriageReturns = !text.empty() && std::memchr(begin, '\r', text.size()) != nullptr;
        for (const char* at = begin; at < end; ++at) {
            if (!carriageReturns) {
                at = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
                if (at == nullptr) break;
            } else if (*at != '\n' && (*at != '\r' || (at + 1 < end && at[1] == '\n'))) {
                continue;  // a CR before an LF ends its line at the LF
            }
            if (ends_.size() == most) {
                ends_.clear();
                return false;
            }
            ends_.push_back(uint32_t(at - begin));
        }
        return true;
    }

    // The line of `offset`, from 1: one more than the line ends before it. Offsets asked for in
    // order cost a step each.
    long LineAt(size_t offset) {
        if (next_ > 0 && ends_[next_ - 1] >= offset) {
            next_ = size_t(std::lower_bound(ends_.begin(), ends_.end(), offset) - ends_.begin());
        }
        while (next_ < ends_.size() && ends_[next_] < offset) ++next_;
        return 1 + long(next_);
    }

private:
    std::vector<uint32_t> ends_;  // offsets of LFs and lone CRs, ascending
    size_t next_ = 0;             // the ends before the offset asked for last
};

}  // namespace document::svg
