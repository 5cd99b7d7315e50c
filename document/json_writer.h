// Writes a document in the JSON form that the JSON loader reads (docs/document-format.md), so
// that a document read from another format can be inspected, edited and exported again:
// loading the written text gives a document that exports to the same bytes.
#pragma once

#include <ostream>
#include <string>

#include "document/document.h"

namespace document {

void WriteDocumentJson(const Document& document, std::ostream& out);
std::string DocumentToJson(const Document& document);

}  // namespace document
