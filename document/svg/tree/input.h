// The bytes of a file made ready for the XML parser: gzip-compressed input inflated (within a
// bound), and input that cannot be SVG text refused before parsing.
#pragma once

#include <string>
#include <string_view>

#include "document/svg/tree/tree.h"

namespace document::svg {

// The text to parse: `bytes` itself, or `inflated` filled from it when it is gzip data.
// Throws SvgError for empty input, input that is not text, corrupt or too large gzip data.
std::string_view PrepareInput(std::string_view bytes, const TreeOptions& options,
                              std::string& inflated);

}  // namespace document::svg
