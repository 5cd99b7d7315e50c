// Parsing of the raw JSON text, guarded against input that would harm the parser.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace document {

// Parses JSON text. Refuses text nested deeper than `maxNesting` brackets before parsing,
// keeps the sign of a negative zero written as the integer "-0", and reports syntax errors
// with their line and column. Throws DocumentError.
nlohmann::json ParseJsonText(const std::string& text, int maxNesting);

}  // namespace document
