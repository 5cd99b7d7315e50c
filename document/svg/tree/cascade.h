// The style cascade over the parsed elements, and inheritance over the final tree.
#pragma once

#include <vector>

#include "document/svg/tree/tree_builder.h"
#include "document/svg/tree/tree_storage.h"

namespace document::svg {

// Sets each parsed element's specified values: presentation attributes (already in place,
// the lowest), then the sheets' rules by specificity and source order, then the style
// attribute, then !important sheet rules, then !important style declarations. Values stay as
// written ("inherit" included) until ResolveInheritance.
void ApplyStyleSheets(Tree::Storage& storage, const std::vector<CollectedSheet>& sheets,
                      LossReport& losses);

// Turns specified values into computed ones from the root down: "inherit" and unset inherited
// properties take the parent's value. Also checks the depth, which <use> copies can raise.
void ResolveInheritance(Tree::Storage& storage, const TreeOptions& options);

}  // namespace document::svg
