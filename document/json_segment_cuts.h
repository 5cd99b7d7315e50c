// Where the segments arrays of a document's art lie in its text. In a large document they are
// nearly all of the text, and the loader reads them from their text anyway (json_segment.h): the
// fast reader cuts them out of what its parser reads, so that the parser neither indexes them
// nor steps over them, and hands each over whole when its walk reaches the place it stood.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "document/json_skeleton.h"

namespace document::json_skeleton {

// An array cut out of the text: its '[' and one past its ']'.
struct ArrayCut {
    size_t start;
    size_t end;
};

// The most levels of art a value is searched to, its own the first; deeper art keeps its
// segments in the text.
constexpr int kMostCutArtLevels = 32;

// FindValueEnd, which also lists in `cuts` (emptied first), in text order, the arrays that are
// the values of "segments" members of the art in the value: the value itself when `key`, the key
// of the member it is the value of (as written between its quotes), is "segments"; else, when `key` is "layers", "children",
// "result" or empty (an array's element), the value is taken for art, or a list of art, and
// searched through those members to kMostCutArtLevels levels. A key with escapes is none of
// these. Where the text is not what the search expects, the value is left whole (no cuts) and
// FindValueEnd's answer given: nothing here checks the text beyond its brackets and quotes.
// `text` must be followed by kReadPastEnd readable bytes.
ValueExtent FindValueEndCuttingSegments(std::string_view text, size_t start, size_t limit, std::string_view key,
                                        std::vector<ArrayCut>& cuts);

}  // namespace document::json_skeleton
