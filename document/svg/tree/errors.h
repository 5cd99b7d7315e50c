// The wording of SvgError messages: always the file's name, and the place in it when known.
#pragma once

#include <string>
#include <string_view>

#include "document/svg/tree/tree.h"

namespace document::svg {

[[noreturn]] void ThrowSvgError(const std::string& fileName, std::string_view what);
// `line` counts from 1, `column` too.
[[noreturn]] void ThrowSvgErrorAt(const std::string& fileName, long line, long column,
                                  std::string_view what);

}  // namespace document::svg
