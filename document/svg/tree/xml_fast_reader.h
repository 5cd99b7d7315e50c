// The fast path of the XML layer: pugixml parses the text into its tree (several times faster
// than expat, which has to serve every event as it tokenises), and the tree is walked into the
// events expat would give, with namespaces resolved here.
//
// It takes only files it reads exactly as expat does: UTF-8 text of XML characters, no DTD
// subset of its own, no entity but XML's five and character references, plain ASCII names,
// every prefix bound, no attribute twice. Anything else, and every file pugixml finds
// malformed, is declined and left to expat, which reads it or says what is wrong with it in its
// own terms. What the file holds before the first thing the fast parser cannot read is given to
// the handler as it is met, as expat would give it; the caller restarts the handler (Restart)
// when the file is declined.
#pragma once

#include <string>
#include <string_view>

#include "document/svg/tree/xml_reader.h"

namespace document::svg {

// Reads `text` into `handler` and answers true, or answers false having told it the events
// before the place where it declined the file (perhaps none).
// Exceptions of the handler leave it.
bool TryReadXmlFast(std::string_view text, const std::string& fileName, XmlHandler& handler);

// How a read in place ended.
enum class InPlaceRead {
    kRead,
    kDeclined,             // before anything was given or written: the text is as it was
    kNotInPlace,           // the same, for text that is better read from a copy (TryReadXmlFast)
    kDeclinedAfterChange,  // the text has been written into, and events may have been given
};

// The same, parsing the text where it stands (see WritableXml) rather than a copy of it.
InPlaceRead TryReadXmlFastInPlace(const WritableXml& text, const std::string& fileName, XmlHandler& handler);

}  // namespace document::svg
