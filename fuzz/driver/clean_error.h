// What a reader's error message must not be: a parser library's own text, which names
// neither the file nor the place in terms a user can follow. Only the start counts: a clean
// message may quote the input, and the input may hold anything.
#pragma once

#include <string_view>

namespace fuzz {

inline bool IsLibraryMessage(std::string_view message) {
    return message.substr(0, 16) == "[json.exception.";
}

}  // namespace fuzz
