// <use> instantiation: each <use> gets a copy of the element it refers to as its only child.
#pragma once

#include "document/svg/tree/tree_storage.h"

namespace document::svg {

// Copies carry the specified values of the originals (so run it after ApplyStyleSheets and
// before ResolveInheritance). A <use> of a missing element, of another file, or one whose
// copy would contain itself (a cycle) gets no child and is reported. Throws SvgError when
// the copies take the tree beyond options.maxElements.
void InstantiateUses(Tree::Storage& storage, const TreeOptions& options, LossReport& losses);

}  // namespace document::svg
