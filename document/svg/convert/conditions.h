// Conditional processing: requiredFeatures, requiredExtensions and systemLanguage.
#pragma once

#include "document/svg/tree/tree.h"

namespace document::svg {

// False when a condition of the element fails: an extension is required (none is supported),
// or no language of systemLanguage is English. requiredFeatures passes, as SVG 2 has it.
bool ConditionsPass(const Element& element);

}  // namespace document::svg
