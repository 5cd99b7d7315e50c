// A small string-aware scanner of JSON text: it finds where a value ends (brackets counted
// outside strings, escapes honoured) without reading the value itself. The fast reader uses it
// to walk the outer containers of a large document and to cut the rest into pieces; the values
// inside a piece are read and checked by the JSON parser, not here.
#pragma once

#include <cstddef>
#include <string_view>

namespace document::json_skeleton {

// The padding the scanner may read past the end of its text (never looked at).
constexpr size_t kReadPastEnd = 64;

enum class Extent {
    kEnds,      // the value ends at `end`
    kLarge,     // an array or object that does not close within the limit
    kInvalid,   // the text ends inside the value, or no value starts here
};

struct ValueExtent {
    Extent extent;
    size_t end = 0;  // one past the value's last byte, for kEnds
};

// JSON whitespace: space, tab, line feed, carriage return.
inline bool IsWhitespace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

inline size_t SkipWhitespace(std::string_view text, size_t position) {
    while (position < text.size() && IsWhitespace(text[position])) ++position;
    return position;
}

// The end of the string whose opening quote is at `start` (one past its closing quote), or
// text.size() + 1 when the text ends first. `escaped` tells whether it holds a backslash.
size_t FindStringEnd(std::string_view text, size_t start, bool& escaped);

// Where the value starting at `start` ends. Strings and scalars always end (or are invalid);
// an array or object is kLarge when it is longer than `limit` bytes (it is read no further
// than the block of 64 bytes that holds its limit). A scalar ends before the next comma,
// closing bracket or whitespace; its text is not checked here.
// `text` must be followed by kReadPastEnd readable bytes.
ValueExtent FindValueEnd(std::string_view text, size_t start, size_t limit);

}  // namespace document::json_skeleton
