// Documents for the benchmarks, built in memory through the substitute host's model. Every
// coordinate comes from a fixed pseudo-random sequence, so each run exports the same bytes.
#pragma once

#include <cstdint>

#include "document/document.h"

namespace bench {

// One layer whose root group holds `pathCount` closed paths of `segmentCount` curved segments
// each, filled with a solid RGB colour. With 16191 paths the art list's 16192 rows are full.
document::Document CurvedPaths(int pathCount, int segmentCount);

// One layer whose root group holds `pathCount` closed paths of `segmentCount` curved segments,
// each filled with a linear or radial gradient of `stopCount` stops (every stop with its own
// midpoint, so the midpoint stops are written too) and stroked with a dashed line.
document::Document GradientDashedPaths(int pathCount, int segmentCount, int stopCount);

// The root group's bounds, computed once and stored, as a host keeps them; the substitute
// host would otherwise recompute the exact bounds of every curve on each export.
void StoreLayerBounds(document::Document& document);

}  // namespace bench
