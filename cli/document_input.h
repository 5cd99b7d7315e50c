// Reads the document a file holds, whichever of the readable kinds it is: told apart by its
// content, not by the file's name.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"

namespace cli {

enum class DocumentKind { kJson, kSvg, kUnknown };

// The kind of document the bytes hold: JSON when the first thing after white space (and a
// UTF-8 byte order mark) is an object or array; SVG for gzip-compressed data and for XML whose
// root element is <svg> (after an XML declaration, comments, processing instructions and a
// DOCTYPE). `why` receives a description of unknown content.
DocumentKind SniffDocument(std::string_view bytes, std::string* why = nullptr);

// Something the host's document cannot hold, left out of it: `count` elements of one kind.
struct Loss {
    std::string kind;   // such as "mask"
    size_t count = 0;
    std::string first;  // where the first one is: "id \"m1\"" or "line 12"
};

struct InputDocument {
    document::Document document;
    DocumentKind kind = DocumentKind::kUnknown;
    std::vector<Loss> losses;
};

// A file that cannot be read as a document; the message does not name the file.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the file and the document in it. Throws InputError.
InputDocument ReadInputDocument(const std::string& path);

// Whether this build reads SVG.
bool ReadsSvg();

}  // namespace cli
