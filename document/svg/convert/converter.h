// The resolved SVG tree as the host's document: one pass over the tree with an explicit stack.
#pragma once

#include <string>

#include "document/svg/svg_reader.h"

namespace document::svg {

// Converts the tree; reference problems and what the host cannot hold go into `result.losses`
// (which may already hold the tree's own). Throws SvgError for a subpath with more anchors
// than the host can count.
void ConvertTree(const Tree& tree, const std::string& fileName, ReadResult& result);

}  // namespace document::svg
