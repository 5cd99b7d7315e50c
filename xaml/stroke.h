// The stroke of a path: Path attributes, or a GeometryDrawing.Pen element in drawing-brush mode.
#pragma once

#include "host/host_types.h"
#include "xaml/output.h"

HostErr WriteStroke(XamlOutput* out, StrokeStyle stroke, int32_t drawingBrush);
