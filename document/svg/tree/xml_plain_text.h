// Checks of raw XML text that tell whether the fast parser may read it: what pugixml accepts
// without complaint but expat refuses or reads otherwise is found here, and the text is left
// to expat.
#pragma once

#include <string_view>

namespace document::svg {

// True when `text` is UTF-8 of XML characters only (no control character but tab, LF and CR,
// no U+FFFE or U+FFFF), every '&' starts one of XML's five entities or a character reference
// to an XML character, and an XML declaration, if any, is well formed with version 1.0 and
// no encoding but UTF-8. The text is copied into `copy` (room for text.size() bytes) in the
// same pass, for the parser; when the answer is false, what was copied is incomplete.
bool CopyPlainXmlText(std::string_view text, char* copy);
// The same check without the copy.
bool IsPlainXmlText(std::string_view text);

// True when a DOCTYPE's content (what follows "<!DOCTYPE" up to its '>', as pugixml gives
// it) is a name with at most an external identifier: no internal subset, so no entity of its
// own.
bool IsPlainDoctype(std::string_view content);

// True for a name expat reads the same in namespace mode: ASCII letters, digits, '_', '-'
// and '.', starting with a letter or '_', with at most one ':' between two parts.
bool IsPlainQualifiedName(std::string_view name);
// The same check of a NUL-terminated name, in the one pass that also measures it: `length` is
// set to the bytes before the first that cannot continue a name (the NUL, for a plain name) and
// `colon` to the colon's offset, or npos.
bool ScanPlainQualifiedName(const char* name, size_t& length, size_t& colon);

}  // namespace document::svg
