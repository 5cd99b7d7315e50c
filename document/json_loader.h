// Reads a document from its JSON form (docs/document-format.md).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

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

// Which JSON reader reads the text. The fast one is built on the build machine's platform only;
// wherever it is missing, or refuses the text, the portable one reads it.
enum class JsonReader { kFast, kPortable };
// The fast reader gives the parser a large document in pieces of about this many bytes, so that
// its index of the text stays small (json_piece_reader.h).
constexpr size_t kJsonPieceSize = size_t(64) << 10;
// Loads from text followed by `readablePadding` bytes that may be read (not used): the fast
// reader reads up to 64 bytes past the end, so with less the text is copied first.
// `used`, when given, is set to the reader that read the document. Tests give a small
// `pieceSize` to read small documents in pieces.
Document LoadDocumentText(std::string_view text, size_t readablePadding, JsonReader reader, JsonReader* used = nullptr,
                          size_t pieceSize = kJsonPieceSize);
// Whether this build has the fast reader.
bool HasFastJsonReader();

class FileWindow;
// The window a JSON file is read through (FileWindow, text_file.h): a few pieces, so that
// bytes are moved to its front seldom, and small enough to stay in the cache.
constexpr size_t kJsonWindowSize = size_t(1) << 20;
// Files from this size on are read on two cores (below, the thread costs more than it saves).
constexpr size_t kJsonSegmentsAsideFrom = size_t(16) << 20;
// Loads the document of a regular file read through `window` (its first bytes may already have
// been read; nothing may have been forgotten yet), without the file's whole text in memory.
// When the fast reader or the loader refuses what it reads, or the window cannot hold a value
// the reader needs whole, the file is read again, whole, as LoadDocumentText reads text: the
// messages are the same. `readWhole`, when given, tells whether the file was read again.
// Files of `asideFrom` bytes or more have their paths' segments read on a thread of their own
// while the rest is read (where the fast reader is built); tests give 0 to have any file read so.
Document LoadDocumentFromWindow(FileWindow& window, JsonReader* used = nullptr, bool* readWhole = nullptr,
                                size_t pieceSize = kJsonPieceSize, size_t asideFrom = kJsonSegmentsAsideFrom);
// Reads the file and loads it; errors name the file.
Document LoadDocumentFile(const std::string& path);

}  // namespace document
