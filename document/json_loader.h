// Reads a document from its JSON form (docs/document-format.md).
#pragma once

#include <stdexcept>
#include <string>

#include "document/document.h"

namespace document {

// A document that cannot be loaded. The message names the place: the JSON path of the bad
// value (such as `layers[0].children[2].segments[5]`) or the line and column of bad syntax.
class DocumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Art trees may be at most this many levels deep: the host reports depths as 16-bit values.
constexpr int kMaxArtLevels = 32767;
// Deeper brackets than a tree of kMaxArtLevels levels needs are refused before parsing.
constexpr int kMaxJsonNesting = 2 * kMaxArtLevels + 16;
constexpr size_t kMaxSegments = 32767;

Document LoadDocument(const std::string& jsonText);
// Reads the file and loads it; errors name the file.
Document LoadDocumentFile(const std::string& path);

}  // namespace document
