// The fast path of the XML layer: pugixml parses the text into its tree (several times faster
// than expat, which has to serve every event as it tokenises), and the tree is walked into the
// events expat would give, with namespaces resolved here.
//
// It takes only files it reads exactly as expat does: UTF-8 text of XML characters, no DTD
// subset of its own, no entity but XML's five and character references, plain ASCII names,
// every prefix bound, no attribute twice. Anything else, and every file pugixml finds
// malformed, is declined before the handler hears a thing, and left to expat, which reads it
// or says what is wrong with it in its own terms.
#pragma once

#include <string>
#include <string_view>

#include "document/svg/tree/xml_reader.h"

namespace document::svg {

// Reads `text` into `handler` and answers true, or answers false having told it nothing.
// Exceptions of the handler leave it.
bool TryReadXmlFast(std::string_view text, const std::string& fileName, XmlHandler& handler);

}  // namespace document::svg
