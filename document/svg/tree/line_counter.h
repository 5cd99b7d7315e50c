// Lines and columns of byte offsets in XML text, counted as expat counts them: line ends are
// LF, CR LF and a lone CR; a column counts characters (a UTF-8 sequence is one), from 1.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace document::svg {

// Counts forward from the last offset asked for, so that asking for the offsets of a document's
// elements in order walks the text once.
class LineCounter {
public:
    explicit LineCounter(std::string_view text)
        : text_(text), hasCarriageReturns_(!text.empty() && std::memchr(text.data(), '\r', text.size()) != nullptr) {}

    // The line of `offset`, from 1. Offsets must not go backwards.
    long LineAt(size_t offset) {
        offset = std::min(offset, text_.size());
        if (offset < countedTo_) return 1 + lineEnds_;
        const char* const first = text_.data() + countedTo_;
        const char* const last = text_.data() + offset;
        lineEnds_ += CountNewlines(first, last);
        for (const char* cr = first; hasCarriageReturns_ && (cr = static_cast<const char*>(std::memchr(cr, '\r', size_t(last - cr)))) != nullptr;) {
            ++cr;
            if (cr == text_.data() + text_.size() || *cr != '\n') ++lineEnds_;
            if (cr == last) break;
        }
        countedTo_ = offset;
        return 1 + lineEnds_;
    }

    // The column of `offset`, from 1: the characters between the line's start and it.
    long ColumnAt(size_t offset) const {
        offset = std::min(offset, text_.size());
        size_t start = offset;
        while (start > 0 && text_[start - 1] != '\n' && text_[start - 1] != '\r') --start;
        long column = 1;
        for (size_t i = start; i < offset; ++i) {
            if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++column;
        }
        return column;
    }

private:
    // From one element to the next there are usually a line end or two: each is found by a
    // search that skips many bytes an instruction. Where they are dense, bytes are counted in
    // blocks instead.
    static long CountNewlines(const char* first, const char* last) {
        long count = 0;
        while (first < last) {
            const auto* found = static_cast<const char*>(std::memchr(first, '\n', size_t(last - first)));
            if (found == nullptr) return count;
            ++count;
            first = found + 1;
            if (count == 8) return count + CountNewlinesInBlocks(first, last);
        }
        return count;
    }

    // Written so that the compiler counts many bytes an instruction (std::count is not).
    static long CountNewlinesInBlocks(const char* first, const char* last) {
        long count = 0;
        while (last - first >= 64) {
            unsigned char block = 0;
            for (int i = 0; i < 64; ++i) block = static_cast<unsigned char>(block + (first[i] == '\n'));
            count += block;
            first += 64;
        }
        for (; first < last; ++first) count += *first == '\n';
        return count;
    }

    std::string_view text_;
    bool hasCarriageReturns_;
    size_t countedTo_ = 0;
    long lineEnds_ = 0;
};

}  // namespace document::svg
