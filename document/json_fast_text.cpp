#include "document/json_text.h"

#include "document/text_file.h"

#ifdef QUILLMARK_WITH_SIMDJSON
#include "document/json_piece_reader.h"
#endif

namespace document {

bool ReadJsonFastInPieces(std::string_view text, int maxNesting, size_t pieceSize, JsonEvents& events) {
#ifdef QUILLMARK_WITH_SIMDJSON
    return ReadJsonFast(text, maxNesting, pieceSize, events);
#else
    (void)text;
    (void)maxNesting;
    (void)pieceSize;
    (void)events;
    return false;
#endif
}

bool ReadJsonFastInWindow(FileWindow& window, int maxNesting, size_t pieceSize, JsonEvents& events) {
#ifdef QUILLMARK_WITH_SIMDJSON
    return ReadJsonFastWindowed<JsonEvents>(window, maxNesting, pieceSize, events);
#else
    (void)window;
    (void)maxNesting;
    (void)pieceSize;
    (void)events;
    return false;
#endif
}

}  // namespace document
