#include "document/json_segment_cuts.h"

#include <cstdint>

namespace document::json_skeleton {

namespace {

bool HoldsArt(std::string_view key) {
    return key == "children" || key == "layers" || key == "result" || key.empty();
}

enum class Scan {
    kDone,   // the value ends at the end given
    kLarge,  // the value passes the limit
    kOther,  // the text ends first, or is not what the search expects
};

class SegmentsSearch {
public:
    SegmentsSearch(std::string_view text, size_t limitEnd, std::vector<ArrayCut>& cuts)
        : text_(text), limitEnd_(limitEnd), cuts_(cuts) {}

    // The value at `start`, the value of a member keyed `key` (escaped: with escapes).
    Scan Member(size_t start, std::string_view key, bool escaped, int levels, size_t& end) {
        if (!escaped && key == "segments" && text_[start] == '[') {
            const Scan scan = Skip(start, end);
            if (scan != Scan::kDone) return scan;
            // The scanner counts brackets of either kind: "[...}" is no array.
            if (text_[end - 1] != ']') return Scan::kOther;
            cuts_.push_back(ArrayCut{start, end});
            return scan;
        }
        if (!escaped && HoldsArt(key) && levels > 0) return Art(start, levels - 1, end);
        return Skip(start, end);
    }

private:
    // The value at `start`, found by FindValueEnd within the limit.
    Scan Skip(size_t start, size_t& end) {
        if (start > limitEnd_) return Scan::kLarge;
        const ValueExtent extent = FindValueEnd(text_, start, limitEnd_ - start);
        switch (extent.extent) {
            case Extent::kEnds: end = extent.end; return Scan::kDone;
            case Extent::kLarge: return Scan::kLarge;
            case Extent::kInvalid: break;
        }
        return Scan::kOther;
    }

    // Moves `position` past whitespace; false at the text's end.
    bool SkipSpace(size_t& position) const {
        position = SkipWhitespace(text_, position);
        return position < text_.size();
    }

    // An art object (its members searched), a list of art (its objects searched as art), or
    // another value (skipped).
    Scan Art(size_t start, int levels, size_t& end) {
        const char open = text_[start];
        if (open != '{' && open != '[') return Skip(start, end);
        const bool isObject = open == '{';
        const char close = isObject ? '}' : ']';
        size_t position = start + 1;
        if (!SkipSpace(position)) return Scan::kOther;
        if (text_[position] == close) {
            end = position + 1;
            return Scan::kDone;
        }
        while (true) {
            if (position > limitEnd_) return Scan::kLarge;
            size_t valueEnd = 0;
            Scan scan;
            if (isObject) {
                if (text_[position] != '"') return Scan::kOther;
                bool escaped = false;
                const size_t keyEnd = FindStringEnd(text_, position, escaped);
                if (keyEnd > text_.size()) return Scan::kOther;
                const std::string_view key = text_.substr(position + 1, keyEnd - position - 2);
                position = keyEnd;
                if (!SkipSpace(position) || text_[position] != ':') return Scan::kOther;
                ++position;
                if (!SkipSpace(position)) return Scan::kOther;
                scan = Member(position, key, escaped, levels, valueEnd);
            } else {
                scan = text_[position] == '{' ? Art(position, levels, valueEnd) : Skip(position, valueEnd);
            }
            if (scan != Scan::kDone) return scan;
            position = valueEnd;
            if (!SkipSpace(position)) return Scan::kOther;
            if (text_[position] == close) {
                end = position + 1;
                return Scan::kDone;
            }
            if (text_[position] != ',') return Scan::kOther;
            ++position;
            if (!SkipSpace(position)) return Scan::kOther;
        }
    }

    std::string_view text_;
    size_t limitEnd_;
    std::vector<ArrayCut>& cuts_;
};

}  // namespace

ValueExtent FindValueEndCuttingSegments(std::string_view text, size_t start, size_t limit, std::string_view key,
                                        std::vector<ArrayCut>& cuts) {
    cuts.clear();
    if (start >= text.size()) return {Extent::kInvalid};
    const size_t limitEnd = limit > SIZE_MAX - start ? SIZE_MAX : start + limit;
    size_t end = 0;
    switch (SegmentsSearch(text, limitEnd, cuts).Member(start, key, key.find('\\') != std::string_view::npos, kMostCutArtLevels, end)) {
        case Scan::kDone: {
            // As for FindValueEnd, only arrays and objects are limited.
            const bool container = text[start] == '[' || text[start] == '{';
            if (container && end - start > limit) break;
            return {Extent::kEnds, end};
        }
        case Scan::kLarge: break;
        case Scan::kOther: cuts.clear(); return FindValueEnd(text, start, limit);
    }
    cuts.clear();
    return {Extent::kLarge};
}

}  // namespace document::json_skeleton
