// Valid documents whose values lie across every place a piece, or a chunk of a file, may end:
// shared by the tests of the fast reader's pieces and of its window over a file.
#pragma once

#include <string>
#include <vector>

namespace document::testing {

inline const std::vector<std::string>& ValidJsonTexts() {
    static const std::vector<std::string> texts = {
        R"({"layers": [{"type": "path", "segments": [[1, 2], [3.5, -4e2], {"anchor": [0, -0], "corner": false}]}]})",
        // Strings holding brackets, quotes, colons, commas and escapes, as values and as keys.
        R"({"a]}": "x[{\"}]", "b\\": ["\\", "\\\"", "\"]", ",:"], "\"{": {"\\\\\"]": "]\\"}, "e": "\u005d\u0022"})",
        R"({"t\u0079pe": [1], "\ud83d\ude00": {"\n\t": true}, "\u00e9": null, "": ""})",
        R"({"é": ["ü", "😀"], "z": {"ä": []}})",
        // Whitespace of every kind around every token.
        " \n\t{ \r\n\"layers\" \t:\n [ { } , [ ] , { \"a\" : [ 1 , 2 ] } ] , \"x\" : -0.5e-3 \n}\t \n",
        // Numbers of every kind, long and short, next to the places pieces end.
        R"({"n": [0, -0, 1, -1, 18446744073709551615, 18446744073709551616, -9223372036854775808, 1e308, 2.5E-3, 123456789.125]})",
        R"({"n": 12345678901234567890123, "m": [true, false, null, 7], "o": {}, "p": []})",
        // Points of two decimals, which the walker reads from their text, in every spacing, beside
        // arrays that only look like them.
        "{\"p\": [[1.5, -2.25], [ 0.0 , -0.0 ], [12345678901234.5,1.5], [1.0,\n\t2.0], [1.5, 2], [1.5e1, 2.5],"
        " [1.5, 2.5, 3.5], [1234567890123456.5, 0.5]], \"q\": {\"a\": [0.1, 0.2], \"b\": [[[-7.125, 7.125]]]}}",
        // Nesting.
        R"({"a": [[[[[[[[[[1]]]]]]]]], {"b": {"c": {"d": [{"e": [[], {}]}]}}}]})",
        R"({"a": [{"b": 1}, {"c": [2, {"d": "e"}]}], "f": {"g": [[3, 4], [5, [6, [7]]]]}})",
    };
    return texts;
}

}  // namespace document::testing
