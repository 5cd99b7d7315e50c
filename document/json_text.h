// Reading JSON text as a stream of values, guarded against input that would harm a parser.
#pragma once

#include <string>
#include <string_view>

#include "document/json_events.h"

namespace document {

// "line L, column C" of a byte offset (both counted from 1).
std::string AtPosition(std::string_view text, size_t offset);

// Reads the text with the portable reader (nlohmann-json's SAX parser: no tree is built), reporting
// every value to `events`. Refuses text nested deeper than `maxNesting` brackets, keeps the sign
// of a negative zero written as the integer "-0", and reports syntax errors with their line and
// column, numbers beyond a double's range with their JSON path and place. Syntax comes first: when
// `events` refuses a value (throws DocumentError), the rest of the text is still read for syntax,
// and a syntax error anywhere is reported instead. Throws DocumentError.
void ReadJsonPortable(std::string_view text, int maxNesting, JsonEvents& events);

// Reads the text with the fast reader (json_piece_reader.h), containers larger than `pieceSize`
// bytes in pieces, reporting every value to `events`. `text` must be followed by 64 readable
// bytes. Returns false when the text is not valid JSON or is nested more than `maxNesting`
// brackets, and wherever the build has no fast reader (HasFastJsonReader()).
bool ReadJsonFastInPieces(std::string_view text, int maxNesting, size_t pieceSize, JsonEvents& events);

class FileWindow;
// The same on the text of a file read through `window` (text_file.h), from the file's start.
// Also false when the window is too small for a value the reader needs whole.
bool ReadJsonFastInWindow(FileWindow& window, int maxNesting, size_t pieceSize, JsonEvents& events);


}  // namespace document
