// The benchmark's documents written as SVG path data, for timing the command on SVG input.
#pragma once

#include <ostream>

#include "document/document.h"

namespace bench {

// Every path of the document as one <path> of cubic curves (its segments' handles as control
// points), closed when the path is, with its solid RGB fill; other art is left out. The SVG
// canvas holds the document's coordinates as they are (y down, as SVG has it).
void WriteSvg(const document::Document& document, std::ostream& out);

}  // namespace bench
