// One path or compound path as one element: a Path, or a GeometryDrawing in drawing-brush
// mode; or, for a clipping path, the clip geometry of the enclosing container.
#pragma once

#include "host/host_types.h"
#include "xaml/output.h"

// `path` holds the art to write; for a compound path (compound = 1) it holds the first member
// and is stepped through the members, so it ends null. `artColumn` and `row` locate the row
// in the art list, for finding the style source of a path inside a Pathfinder group.
HostErr WritePathElement(XamlOutput* out, ArtHandle* path, int32_t compound, HostReal opacity, int32_t visible,
                         uint8_t pluginFlags, ArtHandle const* artColumn, int32_t row, int32_t drawingBrush);
