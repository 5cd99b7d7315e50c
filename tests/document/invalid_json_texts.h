// Documents that would load but for one fault of JSON syntax, shared by the tests of both
// JSON readers and of the fast one's pieces.
#pragma once

#include <string>
#include <vector>

namespace document::testing {

inline const std::vector<std::string>& InvalidJsonTexts() {
    static const std::vector<std::string> texts = {
        R"({"layers": [{"type": "group",}]})",
        R"({"layers": [{"type": "group"},]})",
        R"({"layers": [{"type": "group"} {"type": "group"}]})",
        R"({"layers": [{"type" "group"}]})",
        R"({"layers": [{"type": "group" "name": "x"}]})",
        "{\"layers\": [{\"type\": \"group\", \"name\": \"a\x01b\"}]}",
        "{\"layers\": [{\"type\": \"group\", \"na\x01me\": \"x\"}]}",
        R"({"layers": [{"type": "group", "name": "\x41"}]})",
        R"({"layers": [{"type": "group", "name": "\ud800"}]})",
        "{\"layers\": [{\"type\": \"group\", \"name\": \"\xC3\x28\"}]}",
        "{\"layers\": [{\"type\": \"group\", \"\xFF\": 1}]}",
        R"({"layers": [{"type": "group", "opacity": 01}]})",
        R"({"layers": [{"type": "group", "opacity": 1.}]})",
        R"({"layers": [{"type": "group", "opacity": .5}]})",
        R"({"layers": [{"type": "group", "opacity": +1}]})",
        R"({"layers": [{"type": "group", "opacity": 1e}]})",
        R"({"layers": [{"type": "group", "opacity": NaN}]})",
        R"({"layers": [{"type": "group", "opacity": -Infinity}]})",
        R"({"layers": [{"type": "group", "hidden": tru}]})",
        R"({"layers": [{"type": "group", "name": n}]})",
        R"({"layers": [{"type": "group", "name": nul}]})",
        R"({"layers": [{"type": "group", "name": nulls}]})",
        R"({"layers": [{type: "group"}]})",
        R"({"layers": [{'type': 'group'}]})",
        R"({"layers": [{"type": "group"}]} // note)",
        R"({"layers": [{"type": "group"}]} x)",
        R"({"layers": [{"type": "group"}]}{})",
        R"({"layers": [{"type": "group"}])",
        R"({"layers": [{"type": "group"})",
        R"({"layers": [{"type": "group")",
        R"({"layers": [{"type": "gro)",
        // Segments, which the fast reader may read from their text.
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5],}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5] "corner": true}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5], "corner": fals}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5], "corner": truex}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5], "in": [1.5, 2.5}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5 2.5]}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5]]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5], "out": [01.5, 2.5]}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1, 02]}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [-, 2]}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor" [1.5, 2.5]}]}]})",
        R"({"layers": [{"type": "path", "segments": [{anchor: [1.5, 2.5]}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5]} {"anchor": [1.5, 2.5]}]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5], "corner": false, }]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5], "corner": false]}]})",
        R"({"layers": [{"type": "path", "segments": [{"anchor": [1.5, 2.5])",
    };
    return texts;
}

}  // namespace document::testing
